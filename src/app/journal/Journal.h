#pragma once
// The on-disk journal of every row the log takes: a LoggedRowListener that hands rows to a
// writer thread, which commits them to journal.sqlite in the data folder at least every
// 200 ms, one transaction per batch. Each Journal is one run. The thread that logs only
// appends to a queue; opening, writing and reading back all happen on the writer.
#include "app/journal/JournalDatabase.h"
#include "app/journal/JournalQueue.h"
#include "log/LoggedRowListener.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace varnex {

enum class JournalState { Opening, Writing, Failed };

class Journal : public QObject, public LoggedRowListener {
    Q_OBJECT
public:
    static constexpr int kCommitIntervalMs = 200;

    // Starts the writer, which makes the folder, takes its lock file and opens the journal.
    explicit Journal(const QString& dataDir, QObject* parent = nullptr);
    // Writes what waits, commits and marks the run ended (a clean close).
    ~Journal() override;

    // The callbacks run on the thread that made the journal, from its event loop.
    // Opened: the run is written; the offer is the latest earlier run with unsaved rows.
    void setOnOpened(std::function<void(const std::optional<RecoveryOffer>&)> handler) { onOpened_ = std::move(handler); }
    // Failed: the journal cannot be written; told once, with the reason in words.
    void setOnFailed(std::function<void(const QString&)> handler) { onFailed_ = std::move(handler); }
    // The rows asked for by recover(), in order.
    void setOnRecovered(std::function<void(std::int64_t run, const std::vector<JournalRecord>&)> handler)
    {
        onRecovered_ = std::move(handler);
    }

    // LoggedRowListener: never waits for the disk. Recovered rows are in the journal already.
    void rowLogged(const LoggedRow& row) override;
    // Close Data: the rows so far are no longer anyone's to recover.
    void rowsCleared() override;
    void markSaved();
    void markDiscarded();
    // The link was lost or is back: the gap shows in the run ("link_lost", "link_back").
    void linkEvent(const std::string& kind, const std::string& detail);
    // Reads the unsaved rows of the offer's run (onRecovered), settles the older runs.
    void recover(const RecoveryOffer& offer);
    // The rows of `run` are now in the table: they are safe when this run's rows are.
    void recovered(std::int64_t run);
    // No: the rows stay in the journal, the question is not asked again.
    void decline(const RecoveryOffer& offer);

    JournalState state() const { return state_.load(); }
    QString failureReason() const;
    QString path() const { return path_; }
    std::int64_t runId() const { return runId_.load(); }
    std::int64_t committedRows() const { return committed_.load(); }
    // Rows not journaled because the journal failed or fell behind.
    std::int64_t missedRows() const { return missed_.load(); }
    std::size_t pendingItems() const { return queue_.size(); }
    // One line for the LCD's tooltip.
    QString statusText() const;

private:
    void push(JournalItem&& item);
    void writerMain();
    bool openJournal(JournalDatabase& db);
    bool write(JournalDatabase& db, std::vector<JournalItem>& batch);
    void fail(const QString& reason);

    QString dir_;
    QString path_;
    JournalQueue queue_;
    std::thread writer_;
    std::atomic<JournalState> state_{JournalState::Opening};
    std::atomic<std::int64_t> runId_{0};
    std::atomic<std::int64_t> committed_{0};
    std::atomic<std::int64_t> missed_{0};
    mutable std::mutex reasonMutex_;
    QString reason_;
    // Writer-side state.
    std::int64_t nextSeq_ = 1;
    RunState runState_ = RunState::Saved;

    std::function<void(const std::optional<RecoveryOffer>&)> onOpened_;
    std::function<void(const QString&)> onFailed_;
    std::function<void(std::int64_t, const std::vector<JournalRecord>&)> onRecovered_;
};

// The failure message the window shows once.
QString JournalFailureMessage(const QString& reason);
// The data folder: --data-dir when given, else the user's local data folder.
QString JournalDataDir(const QString& option);

} // namespace varnex
