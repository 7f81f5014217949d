#include "app/journal/JournalDatabase.h"

#include <sqlite3.h>

#include <algorithm>

namespace varnex {

namespace {

// The layout users query (README, "The journal"). user_version tells later versions what
// they open.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS runs(
  id INTEGER PRIMARY KEY,
  started_utc_ms INTEGER NOT NULL,
  ended_utc_ms INTEGER,
  state TEXT NOT NULL DEFAULT 'saved' CHECK(state IN ('unsaved', 'saved', 'discarded')),
  safe_through INTEGER NOT NULL DEFAULT 0,
  settled INTEGER NOT NULL DEFAULT 0,
  recovered_into INTEGER REFERENCES runs(id) ON DELETE SET NULL
);
CREATE TABLE IF NOT EXISTS readings(
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL,
  utc_ms INTEGER,
  no INTEGER NOT NULL,
  time TEXT NOT NULL,
  function TEXT NOT NULL,
  value TEXT NOT NULL,
  unit TEXT NOT NULL,
  value2 TEXT NOT NULL,
  unit2 TEXT NOT NULL,
  si_value REAL,
  si_unit TEXT NOT NULL,
  plain_unit TEXT NOT NULL,
  plain_unit2 TEXT NOT NULL,
  source TEXT NOT NULL CHECK(source IN ('meter', 'load')),
  PRIMARY KEY(run_id, seq)
) WITHOUT ROWID;
-- What happened to the link during a run: 'link_lost' and 'link_back', after row after_seq.
CREATE TABLE IF NOT EXISTS run_events(
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  utc_ms INTEGER NOT NULL,
  after_seq INTEGER NOT NULL,
  kind TEXT NOT NULL,
  detail TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS runs_recovered_into ON runs(recovered_into);
CREATE VIEW IF NOT EXISTS readings_utc AS
  SELECT run_id, seq, strftime('%Y-%m-%dT%H:%M:%fZ', utc_ms / 1000.0, 'unixepoch') AS utc_time,
         no, function, value, plain_unit AS unit, si_value, si_unit, value2, plain_unit2 AS unit2, source
  FROM readings;
PRAGMA user_version = 1;
)sql";

// The text outlives the statement's step: SQLite need not copy it.
void BindText(sqlite3_stmt* s, int index, const std::string& text)
{
    sqlite3_bind_text(s, index, text.data(), int(text.size()), SQLITE_STATIC);
}

std::string ColumnText(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, std::size_t(sqlite3_column_bytes(s, column))) : std::string();
}

RunState StateFromText(const std::string& text)
{
    if (text == "unsaved")
        return RunState::Unsaved;
    if (text == "discarded")
        return RunState::Discarded;
    return RunState::Saved;
}

// A statement that finalizes itself.
struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
    explicit operator bool() const { return s != nullptr; }
};

} // namespace

const char* RunStateText(RunState state)
{
    switch (state) {
    case RunState::Unsaved: return "unsaved";
    case RunState::Saved: return "saved";
    case RunState::Discarded: return "discarded";
    }
    return "saved";
}

JournalDatabase::~JournalDatabase()
{
    close();
}

void JournalDatabase::close()
{
    sqlite3_finalize(insert_);
    insert_ = nullptr;
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool JournalDatabase::fail()
{
    error_ = db_ ? sqlite3_errmsg(db_) : "the journal is not open";
    return false;
}

bool JournalDatabase::exec(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    error_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

sqlite3_stmt* JournalDatabase::prepare(const char* sql)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) {
        fail();
        return nullptr;
    }
    return s;
}

bool JournalDatabase::open(const std::string& path, bool create)
{
    close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        fail();
        close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    // Another program (varnex-cli, a user's sqlite3) may hold the file for a moment.
    sqlite3_busy_timeout(db_, 5000);
    // WAL: readers never block the writer; FULL: a commit survives a power cut as well as a kill.
    if (!exec("PRAGMA journal_mode = WAL") || !exec("PRAGMA synchronous = FULL") ||
        !exec("PRAGMA foreign_keys = ON") || !exec(kSchema)) {
        const std::string reason = error_;
        close();
        error_ = reason;
        return false;
    }
    // journal_mode answers with the mode it got; a folder without shared memory gets none.
    Statement mode{prepare("PRAGMA journal_mode")};
    if (!mode || sqlite3_step(mode.s) != SQLITE_ROW || ColumnText(mode.s, 0) != "wal") {
        close();
        error_ = "the journal cannot use write-ahead logging here";
        return false;
    }
    return true;
}

bool JournalDatabase::begin() { return exec("BEGIN IMMEDIATE"); }
bool JournalDatabase::commit() { return exec("COMMIT"); }
void JournalDatabase::rollback()
{
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::int64_t JournalDatabase::beginRun(std::int64_t startedUtcMs)
{
    Statement s{prepare("INSERT INTO runs(started_utc_ms) VALUES(?1)")};
    if (!s)
        return 0;
    sqlite3_bind_int64(s.s, 1, startedUtcMs);
    if (sqlite3_step(s.s) != SQLITE_DONE) {
        fail();
        return 0;
    }
    return sqlite3_last_insert_rowid(db_);
}

bool JournalDatabase::insertRows(std::int64_t runId, std::int64_t firstSeq, const JournalRecord* rows,
                                 std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (!insertRow(runId, firstSeq + std::int64_t(i), rows[i]))
            return false;
    return true;
}

bool JournalDatabase::insertRow(std::int64_t runId, std::int64_t seq, const JournalRecord& r)
{
    if (!insert_) {
        insert_ = prepare("INSERT INTO readings(run_id, seq, utc_ms, no, time, function, value, unit, value2, unit2,"
                          " si_value, si_unit, plain_unit, plain_unit2, source)"
                          " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
        if (!insert_)
            return false;
    }
    {
        sqlite3_stmt* s = insert_;
        sqlite3_bind_int64(s, 1, runId);
        sqlite3_bind_int64(s, 2, seq);
        if (r.utcMs != 0)
            sqlite3_bind_int64(s, 3, r.utcMs);
        else
            sqlite3_bind_null(s, 3);
        sqlite3_bind_int(s, 4, r.no);
        BindText(s, 5, r.time);
        BindText(s, 6, r.function);
        BindText(s, 7, r.value);
        BindText(s, 8, r.unit);
        BindText(s, 9, r.value2);
        BindText(s, 10, r.unit2);
        if (r.siValue)
            sqlite3_bind_double(s, 11, *r.siValue);
        else
            sqlite3_bind_null(s, 11);
        BindText(s, 12, r.siUnit);
        BindText(s, 13, r.plainUnit);
        BindText(s, 14, r.plainUnit2);
        sqlite3_bind_text(s, 15, r.source == JournalSource::Load ? "load" : "meter", -1, SQLITE_STATIC);
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        if (rc != SQLITE_DONE)
            return fail();
    }
    return true;
}

bool JournalDatabase::markSafe(std::int64_t runId, std::int64_t throughSeq, RunState state)
{
    Statement own{prepare("UPDATE runs SET state = ?2, safe_through = max(safe_through, ?3) WHERE id = ?1")};
    Statement chain{prepare(
        "WITH RECURSIVE chain(id) AS (SELECT id FROM runs WHERE recovered_into = ?1"
        " UNION SELECT r.id FROM runs r JOIN chain c ON r.recovered_into = c.id)"
        " UPDATE runs SET state = ?2,"
        " safe_through = (SELECT ifnull(max(seq), 0) FROM readings WHERE run_id = runs.id)"
        " WHERE id IN chain")};
    if (!own || !chain)
        return false;
    for (sqlite3_stmt* s : {own.s, chain.s}) {
        sqlite3_bind_int64(s, 1, runId);
        sqlite3_bind_text(s, 2, RunStateText(state), -1, SQLITE_STATIC);
    }
    sqlite3_bind_int64(own.s, 3, throughSeq);
    if (sqlite3_step(own.s) != SQLITE_DONE || sqlite3_step(chain.s) != SQLITE_DONE)
        return fail();
    return true;
}

bool JournalDatabase::markUnsaved(std::int64_t runId)
{
    Statement s{prepare("UPDATE runs SET state = 'unsaved' WHERE id = ?1")};
    if (!s)
        return false;
    sqlite3_bind_int64(s.s, 1, runId);
    return sqlite3_step(s.s) == SQLITE_DONE || fail();
}

bool JournalDatabase::insertEvent(std::int64_t runId, std::int64_t utcMs, std::int64_t afterSeq,
                                  const std::string& kind, const std::string& detail)
{
    Statement s{prepare("INSERT INTO run_events(run_id, utc_ms, after_seq, kind, detail) VALUES(?1, ?2, ?3, ?4, ?5)")};
    if (!s)
        return false;
    sqlite3_bind_int64(s.s, 1, runId);
    sqlite3_bind_int64(s.s, 2, utcMs);
    sqlite3_bind_int64(s.s, 3, afterSeq);
    BindText(s.s, 4, kind);
    BindText(s.s, 5, detail);
    return sqlite3_step(s.s) == SQLITE_DONE || fail();
}

bool JournalDatabase::endRun(std::int64_t runId, std::int64_t endedUtcMs)
{
    Statement s{prepare("UPDATE runs SET ended_utc_ms = ?2 WHERE id = ?1")};
    if (!s)
        return false;
    sqlite3_bind_int64(s.s, 1, runId);
    sqlite3_bind_int64(s.s, 2, endedUtcMs);
    return sqlite3_step(s.s) == SQLITE_DONE || fail();
}

bool JournalDatabase::recoverInto(std::int64_t from, std::int64_t into)
{
    Statement s{prepare("UPDATE runs SET recovered_into = ?2, settled = 1 WHERE id = ?1")};
    Statement unsaved{prepare("UPDATE runs SET state = 'unsaved' WHERE id = ?1")};
    if (!s || !unsaved)
        return false;
    sqlite3_bind_int64(s.s, 1, from);
    sqlite3_bind_int64(s.s, 2, into);
    sqlite3_bind_int64(unsaved.s, 1, into);
    return (sqlite3_step(s.s) == SQLITE_DONE && sqlite3_step(unsaved.s) == SQLITE_DONE) || fail();
}

bool JournalDatabase::settle(const std::vector<std::int64_t>& runIds)
{
    Statement s{prepare("UPDATE runs SET settled = 1 WHERE id = ?1")};
    if (!s)
        return false;
    for (std::int64_t id : runIds) {
        sqlite3_bind_int64(s.s, 1, id);
        if (sqlite3_step(s.s) != SQLITE_DONE)
            return fail();
        sqlite3_reset(s.s);
    }
    return true;
}

std::vector<JournalRun> JournalDatabase::runs()
{
    return selectRuns(0);
}

std::vector<JournalRun> JournalDatabase::selectRuns(std::int64_t onlyId)
{
    std::vector<JournalRun> out;
    Statement s{prepare("SELECT id, started_utc_ms, ended_utc_ms, state, safe_through, settled, recovered_into,"
                        " (SELECT ifnull(max(seq), 0) FROM readings WHERE run_id = runs.id) FROM runs"
                        " WHERE ?1 = 0 OR id = ?1 ORDER BY id")};
    if (!s)
        return out;
    sqlite3_bind_int64(s.s, 1, onlyId);
    while (sqlite3_step(s.s) == SQLITE_ROW) {
        JournalRun r;
        r.id = sqlite3_column_int64(s.s, 0);
        r.startedUtcMs = sqlite3_column_int64(s.s, 1);
        if (sqlite3_column_type(s.s, 2) != SQLITE_NULL)
            r.endedUtcMs = sqlite3_column_int64(s.s, 2);
        r.state = StateFromText(ColumnText(s.s, 3));
        r.safeThrough = sqlite3_column_int64(s.s, 4);
        r.settled = sqlite3_column_int(s.s, 5) != 0;
        if (sqlite3_column_type(s.s, 6) != SQLITE_NULL)
            r.recoveredInto = sqlite3_column_int64(s.s, 6);
        r.rows = sqlite3_column_int64(s.s, 7);
        out.push_back(r);
    }
    return out;
}

std::optional<JournalRun> JournalDatabase::run(std::int64_t id)
{
    std::vector<JournalRun> one = id != 0 ? selectRuns(id) : std::vector<JournalRun>();
    if (one.empty())
        return std::nullopt;
    return one.front();
}

std::int64_t JournalDatabase::lastRunWithRows()
{
    Statement s{prepare("SELECT max(run_id) FROM readings")};
    if (!s || sqlite3_step(s.s) != SQLITE_ROW)
        return 0;
    return sqlite3_column_int64(s.s, 0);
}

std::vector<std::int64_t> JournalDatabase::recoveredFrom(std::int64_t runId)
{
    std::vector<std::int64_t> ids;
    Statement s{prepare("SELECT id FROM runs WHERE recovered_into = ?1 ORDER BY id")};
    if (!s)
        return ids;
    sqlite3_bind_int64(s.s, 1, runId);
    while (sqlite3_step(s.s) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(s.s, 0));
    return ids;
}

void JournalDatabase::span(std::int64_t runId, std::int64_t& rows, std::int64_t& first, std::int64_t& last)
{
    for (std::int64_t from : recoveredFrom(runId))
        span(from, rows, first, last);
    const std::optional<JournalRun> r = run(runId);
    if (!r)
        return;
    rows += std::max<std::int64_t>(0, r->rows - r->safeThrough);
    Statement s{prepare("SELECT min(utc_ms), max(utc_ms) FROM readings WHERE run_id = ?1 AND seq > ?2")};
    if (!s)
        return;
    sqlite3_bind_int64(s.s, 1, runId);
    sqlite3_bind_int64(s.s, 2, r->safeThrough);
    if (sqlite3_step(s.s) == SQLITE_ROW && sqlite3_column_type(s.s, 0) != SQLITE_NULL) {
        const std::int64_t lo = sqlite3_column_int64(s.s, 0), hi = sqlite3_column_int64(s.s, 1);
        first = first == 0 ? lo : std::min(first, lo);
        last = std::max(last, hi);
    }
}

std::optional<RecoveryOffer> JournalDatabase::recoveryOffer(std::int64_t current)
{
    std::optional<RecoveryOffer> offer;
    std::vector<JournalRun> all = runs();
    std::reverse(all.begin(), all.end());
    for (const JournalRun& r : all) {
        if (r.id == current || r.settled || r.recoveredInto)
            continue;
        std::int64_t rows = 0, first = 0, last = 0;
        span(r.id, rows, first, last);
        if (rows == 0)
            continue;
        if (!offer) {
            offer = RecoveryOffer{r.id, rows, first, last, {}};
        } else {
            offer->olderRunIds.push_back(r.id);
        }
    }
    return offer;
}

bool JournalDatabase::readRange(std::int64_t runId, std::int64_t afterSeq,
                                const std::function<void(const JournalRecord&)>& sink)
{
    Statement s{prepare("SELECT utc_ms, no, time, function, value, unit, value2, unit2, si_value, si_unit,"
                        " plain_unit, plain_unit2, source FROM readings WHERE run_id = ?1 AND seq > ?2 ORDER BY seq")};
    if (!s)
        return false;
    sqlite3_bind_int64(s.s, 1, runId);
    sqlite3_bind_int64(s.s, 2, afterSeq);
    JournalRecord r;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.s)) == SQLITE_ROW) {
        r.utcMs = sqlite3_column_type(s.s, 0) == SQLITE_NULL ? 0 : sqlite3_column_int64(s.s, 0);
        r.no = sqlite3_column_int(s.s, 1);
        r.time = ColumnText(s.s, 2);
        r.function = ColumnText(s.s, 3);
        r.value = ColumnText(s.s, 4);
        r.unit = ColumnText(s.s, 5);
        r.value2 = ColumnText(s.s, 6);
        r.unit2 = ColumnText(s.s, 7);
        r.siValue.reset();
        if (sqlite3_column_type(s.s, 8) != SQLITE_NULL)
            r.siValue = sqlite3_column_double(s.s, 8);
        r.siUnit = ColumnText(s.s, 9);
        r.plainUnit = ColumnText(s.s, 10);
        r.plainUnit2 = ColumnText(s.s, 11);
        r.source = ColumnText(s.s, 12) == "load" ? JournalSource::Load : JournalSource::Meter;
        sink(r);
    }
    return rc == SQLITE_DONE || fail();
}

bool JournalDatabase::readRecoverable(std::int64_t runId, const std::function<void(const JournalRecord&)>& sink)
{
    for (std::int64_t from : recoveredFrom(runId))
        if (!readRecoverable(from, sink))
            return false;
    const std::optional<JournalRun> r = run(runId);
    return r && readRange(runId, r->safeThrough, sink);
}

bool JournalDatabase::readRun(std::int64_t runId, const std::function<void(const JournalRecord&)>& sink)
{
    return readRange(runId, 0, sink);
}

int JournalDatabase::prune(std::int64_t startedBeforeUtcMs, bool keepUnended)
{
    Statement s{prepare("DELETE FROM runs WHERE state IN ('saved', 'discarded') AND started_utc_ms < ?1"
                        " AND (?2 = 0 OR ended_utc_ms IS NOT NULL)"
                        " AND NOT EXISTS (SELECT 1 FROM runs r WHERE r.recovered_into = runs.id AND r.state = 'unsaved')")};
    if (!s)
        return -1;
    sqlite3_bind_int64(s.s, 1, startedBeforeUtcMs);
    sqlite3_bind_int(s.s, 2, keepUnended ? 1 : 0);
    if (sqlite3_step(s.s) != SQLITE_DONE) {
        fail();
        return -1;
    }
    return sqlite3_changes(db_);
}

bool JournalDatabase::integrityOk()
{
    Statement s{prepare("PRAGMA integrity_check")};
    return s && sqlite3_step(s.s) == SQLITE_ROW && ColumnText(s.s, 0) == "ok";
}

} // namespace varnex
