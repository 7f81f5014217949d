#pragma once
// The journal file journal.sqlite: runs and their readings, in WAL mode. One object is one
// connection, used from one thread at a time (the journal's writer thread, or varnex-cli).
#include "app/journal/JournalRecord.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace varnex {

inline constexpr char kJournalFileName[] = "journal.sqlite";

enum class RunState { Unsaved, Saved, Discarded };
const char* RunStateText(RunState state); // "unsaved", "saved", "discarded"

struct JournalRun {
    std::int64_t id = 0;
    std::int64_t startedUtcMs = 0;
    std::optional<std::int64_t> endedUtcMs; // empty: the run did not end cleanly
    RunState state = RunState::Saved;
    std::int64_t rows = 0;
    std::int64_t safeThrough = 0; // rows with seq up to this are saved or discarded
    bool settled = false;         // the recovery question about it was answered
    std::optional<std::int64_t> recoveredInto;
};

// What the question at start offers: the latest run with readings neither saved nor
// discarded (with the runs recovered into it), and how many older ones there are.
struct RecoveryOffer {
    std::int64_t runId = 0;
    std::int64_t rows = 0;
    std::int64_t firstUtcMs = 0, lastUtcMs = 0; // 0 when no row carries a moment
    std::vector<std::int64_t> olderRunIds;
};

class JournalDatabase {
public:
    JournalDatabase() = default;
    ~JournalDatabase();
    JournalDatabase(const JournalDatabase&) = delete;
    JournalDatabase& operator=(const JournalDatabase&) = delete;

    // Opens (create: and makes) the file and its tables. False with error() set.
    bool open(const std::string& path, bool create = true);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    // The last failure in words ("database or disk is full", "attempt to write a readonly database").
    const std::string& error() const { return error_; }

    bool begin();
    bool commit();
    void rollback();

    // A new run, unsaved rows none. 0 on failure.
    std::int64_t beginRun(std::int64_t startedUtcMs);
    // Appends with seq firstSeq, firstSeq + 1, ... (inside begin/commit).
    bool insertRows(std::int64_t runId, std::int64_t firstSeq, const JournalRecord* rows, std::size_t count);
    bool insertRow(std::int64_t runId, std::int64_t seq, const JournalRecord& row);
    // Rows up to throughSeq of the run, and every row of the runs recovered into it, are
    // saved or discarded.
    bool markSafe(std::int64_t runId, std::int64_t throughSeq, RunState state);
    // A row after the last save: the run has unsaved rows again.
    bool markUnsaved(std::int64_t runId);
    bool endRun(std::int64_t runId, std::int64_t endedUtcMs);
    // A run event ("link_lost", "link_back") after the run's row `afterSeq`.
    bool insertEvent(std::int64_t runId, std::int64_t utcMs, std::int64_t afterSeq, const std::string& kind,
                     const std::string& detail);
    // The table of run `into` took the unsaved rows of run `from`.
    bool recoverInto(std::int64_t from, std::int64_t into);
    // The question about these runs was answered: it is not asked again.
    bool settle(const std::vector<std::int64_t>& runIds);

    std::vector<JournalRun> runs();
    std::optional<JournalRun> run(std::int64_t id);
    // The newest run with at least one row, or 0.
    std::int64_t lastRunWithRows();
    // Runs other than `current` with unsaved rows that nobody answered for; the latest first.
    std::optional<RecoveryOffer> recoveryOffer(std::int64_t current);
    // The unsaved rows of a run in the order they reached the table: first those of the
    // runs recovered into it, then its own. False on a read error.
    bool readRecoverable(std::int64_t runId, const std::function<void(const JournalRecord&)>& sink);
    bool readRun(std::int64_t runId, const std::function<void(const JournalRecord&)>& sink);
    // Deletes saved and discarded runs started before the moment; keepUnended leaves runs
    // that have no end (one may still be writing). The number of runs deleted, or -1.
    int prune(std::int64_t startedBeforeUtcMs, bool keepUnended);
    // PRAGMA integrity_check said "ok".
    bool integrityOk();

private:
    bool exec(const char* sql);
    bool fail();
    sqlite3_stmt* prepare(const char* sql);
    std::vector<JournalRun> selectRuns(std::int64_t onlyId); // 0: every run
    std::vector<std::int64_t> recoveredFrom(std::int64_t runId);
    bool readRange(std::int64_t runId, std::int64_t afterSeq, const std::function<void(const JournalRecord&)>& sink);
    void span(std::int64_t runId, std::int64_t& rows, std::int64_t& first, std::int64_t& last);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    std::string error_;
};

} // namespace varnex
