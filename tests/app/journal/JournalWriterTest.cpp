// The journal's writer: rows reach the file within a second without the logging thread
// waiting, a clean close drains the queue and ends the run, and the stored texts are what
// the table holds, readable as UTF-8, with the SI value and the plain unit.
#include "JournalTestSupport.h"

#include "app/journal/Journal.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace varnex::testing {
namespace {

// Rows in the file as another program sees them.
std::int64_t CountRows(const QString& dir)
{
    sqlite3* db = nullptr;
    std::int64_t rows = -1;
    if (sqlite3_open_v2(JournalPath(dir).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM readings", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            rows = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return rows;
}

TEST(journal_Writer, RowsAreInTheFileWithinASecond)
{
    QTemporaryDir dir;
    Journal journal(dir.path());
    ASSERT_TRUE(WaitFor([&] { return journal.state() == JournalState::Writing; }));
    for (int round = 1; round <= 3; ++round) {
        const auto logged = std::chrono::steady_clock::now();
        journal.rowLogged(MakeLoggedRow({}, round, SystemUtcMs()));
        ASSERT_TRUE(WaitFor([&] { return CountRows(dir.path()) == round; }, 1000)) << "round " << round;
        EXPECT_LT(std::chrono::steady_clock::now() - logged, std::chrono::milliseconds(1000));
    }
}

TEST(journal_Writer, CleanCloseWritesEveryWaitingRowAndEndsTheRun)
{
    QTemporaryDir dir;
    std::int64_t run = 0;
    {
        Journal journal(dir.path());
        for (int i = 1; i <= 20000; ++i)
            journal.rowLogged(MakeLoggedRow({}, i, 1'700'000'000'000 + i));
        ASSERT_TRUE(WaitFor([&] { return journal.runId() != 0; }));
        run = journal.runId();
    }
    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(dir.path()), false));
    const auto rows = RowsOf(db, run);
    ASSERT_EQ(rows.size(), 20000u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i].no, std::int32_t(i + 1));
    const auto info = db.run(run);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->endedUtcMs.has_value());
    EXPECT_EQ(info->state, RunState::Unsaved);
}

TEST(journal_Writer, StoresTheTableTextsAsUtf8WithSiValueAndPlainUnit)
{
    QTemporaryDir dir;
    std::int64_t run = 0;
    {
        Journal journal(dir.path());
        RowTexts ohms{"14:05:09 p.\xe9", "ohm", "12.345", "K*", "", ""};
        journal.rowLogged(MakeLoggedRow(ohms, 7, 1'700'000'000'123));
        RowTexts overload{"14:05:10", "ohm", " 0.L  ", "M*", "", ""};
        journal.rowLogged(MakeLoggedRow(overload, 8, 1'700'000'000'456));
        RowTexts loaded{"1:00:00", "ACV", "1.00000", "V", "50.00", "KHz"};
        journal.rowLogged(MakeLoggedRow(loaded, 9, 0, RowSource::Load));
        RowTexts twice{"1:00:01", "ACV", "2.00000", "V", "", ""};
        journal.rowLogged(MakeLoggedRow(twice, 10, 5, RowSource::Recovered)); // already in the journal
        ASSERT_TRUE(WaitFor([&] { return journal.committedRows() == 3; }));
        run = journal.runId();
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(JournalPath(dir.path()).c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT v.seq, r.no, v.utc_time, r.time, v.unit, r.si_value, r.si_unit, r.unit, v.value2,"
                                 " v.unit2, r.source FROM readings_utc AS v JOIN readings AS r USING(run_id, seq)"
                                 " WHERE run_id = ?1 ORDER BY seq",
                                 -1, &s, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_bind_int64(s, 1, run);
    const auto text = [&](int column) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        return p ? std::string(p) : std::string("<null>");
    };
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 1), 7);
    EXPECT_EQ(text(2), "2023-11-14T22:13:20.123Z");
    EXPECT_EQ(text(3), "14:05:09 p.\xc3\xa9"); // Latin-1 é as UTF-8
    EXPECT_EQ(text(4), "k\u03A9");              // the view's plain unit
    EXPECT_DOUBLE_EQ(sqlite3_column_double(s, 5), 12345.0);
    EXPECT_EQ(text(6), "\u03A9");
    EXPECT_EQ(text(10), "meter");
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_type(s, 5), SQLITE_NULL); // an overload has no value
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(text(2), "<null>"); // a loaded row carries no moment
    EXPECT_EQ(text(9), "kHz");
    EXPECT_EQ(text(10), "load");
    EXPECT_EQ(sqlite3_step(s), SQLITE_DONE); // the recovered row was not written again
    sqlite3_finalize(s);
    sqlite3_close(db);

    // Read back for the table, the texts are the table's Latin-1 bytes again.
    JournalDatabase back;
    ASSERT_TRUE(back.open(JournalPath(dir.path()), false));
    std::vector<JournalRecord> rows;
    ASSERT_TRUE(back.readRecoverable(run, [&](const JournalRecord& r) { rows.push_back(r); }));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].unit, "K*");
}

TEST(journal_Writer, SaveAndDiscardMarksFollowTheRowsInOrder)
{
    QTemporaryDir dir;
    std::int64_t run = 0;
    {
        Journal journal(dir.path());
        journal.rowLogged(MakeLoggedRow({}, 1, 1000));
        journal.rowLogged(MakeLoggedRow({}, 2, 2000));
        journal.markSaved();
        journal.rowLogged(MakeLoggedRow({}, 3, 3000));
        ASSERT_TRUE(WaitFor([&] { return journal.committedRows() == 3; }));
        run = journal.runId();
    }
    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(dir.path()), false));
    EXPECT_EQ(db.run(run)->safeThrough, 2);
    EXPECT_EQ(db.run(run)->state, RunState::Unsaved);
    const auto offer = db.recoveryOffer(0);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->rows, 1);
    {
        Journal next(dir.path()); // Close Data in the next run clears nothing of the old one
        ASSERT_TRUE(WaitFor([&] { return next.state() == JournalState::Writing; }));
        next.rowLogged(MakeLoggedRow({}, 1, 4000));
        next.rowsCleared();
        ASSERT_TRUE(WaitFor([&] { return next.committedRows() == 1; }));
    }
    ASSERT_TRUE(db.open(JournalPath(dir.path()), false));
    const auto runs = db.runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].state, RunState::Discarded);
    EXPECT_EQ(runs[1].safeThrough, 1);
    ASSERT_TRUE(db.recoveryOffer(0));
    EXPECT_EQ(db.recoveryOffer(0)->runId, run);
}

} // namespace
} // namespace varnex::testing
