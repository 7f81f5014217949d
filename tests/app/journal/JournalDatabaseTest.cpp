// The journal file's rules for runs: which rows count as unsaved, what the question at
// start offers, what a recovery, a save or a discard settles, and what prune deletes.
#include "JournalTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

namespace varnex::testing {
namespace {

class JournalDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db_.open(JournalPath(dir_.path()))) << db_.error(); }

    // A run as a program that was killed leaves it: rows committed, no end.
    std::int64_t crashedRun(int rows, std::int64_t firstUtc = 1'700'000'000'000)
    {
        const std::int64_t run = db_.beginRun(firstUtc - 5);
        EXPECT_NE(run, 0);
        appendRows(run, 1, rows, firstUtc);
        return run;
    }
    void appendRows(std::int64_t run, std::int64_t firstSeq, int rows, std::int64_t firstUtc)
    {
        std::vector<JournalRecord> records;
        for (int i = 0; i < rows; ++i)
            records.push_back(MakeRecord(std::int32_t(firstSeq + i), firstUtc + 1000 * i));
        EXPECT_TRUE(db_.begin());
        EXPECT_TRUE(db_.insertRows(run, firstSeq, records.data(), records.size())) << db_.error();
        EXPECT_TRUE(db_.markUnsaved(run));
        EXPECT_TRUE(db_.commit());
    }

    QTemporaryDir dir_;
    JournalDatabase db_;
};

TEST_F(JournalDatabaseTest, FileIsInWalModeAndHoldsNothingToRecover)
{
    EXPECT_TRUE(db_.integrityOk());
    EXPECT_FALSE(db_.recoveryOffer(0));
    EXPECT_TRUE(QFile::exists(dir_.filePath("journal.sqlite-wal")));
}

TEST_F(JournalDatabaseTest, CrashedRunIsOfferedWithItsRowsAndTimes)
{
    const std::int64_t run = crashedRun(3);
    const std::int64_t current = db_.beginRun(1'800'000'000'000);
    const auto offer = db_.recoveryOffer(current);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->runId, run);
    EXPECT_EQ(offer->rows, 3);
    EXPECT_EQ(offer->firstUtcMs, 1'700'000'000'000);
    EXPECT_EQ(offer->lastUtcMs, 1'700'000'002'000);
    EXPECT_TRUE(offer->olderRunIds.empty());
    // The running program's own run is never offered.
    EXPECT_FALSE(db_.recoveryOffer(run));
}

struct SafetyCase {
    const char* name;
    RunState mark;
    int rowsAfterMark;
    std::int64_t expectOffered; // rows offered, 0: no question
};
// Stable test names in ctest: the case's name, not its bytes.
inline void PrintTo(const SafetyCase& c, std::ostream* os) { *os << c.name; }

class JournalSafetyTest : public JournalDatabaseTest, public ::testing::WithParamInterface<SafetyCase> {};

TEST_P(JournalSafetyTest, OnlyRowsAfterTheLastSaveOrDiscardAreOffered)
{
    const SafetyCase& c = GetParam();
    const std::int64_t run = crashedRun(5);
    ASSERT_TRUE(db_.markSafe(run, 5, c.mark));
    if (c.rowsAfterMark > 0)
        appendRows(run, 6, c.rowsAfterMark, 1'700'000'100'000);
    const auto offer = db_.recoveryOffer(db_.beginRun(1'800'000'000'000));
    if (c.expectOffered == 0) {
        EXPECT_FALSE(offer);
    } else {
        ASSERT_TRUE(offer);
        EXPECT_EQ(offer->rows, c.expectOffered);
        EXPECT_EQ(offer->firstUtcMs, 1'700'000'100'000); // the first row after the save
        std::vector<JournalRecord> rows;
        ASSERT_TRUE(db_.readRecoverable(run, [&](const JournalRecord& r) { rows.push_back(r); }));
        ASSERT_EQ(rows.size(), std::size_t(c.expectOffered));
        EXPECT_EQ(rows.front().no, 6);
    }
    EXPECT_EQ(db_.run(run)->state, c.rowsAfterMark > 0 ? RunState::Unsaved : c.mark);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, JournalSafetyTest,
    ::testing::Values(SafetyCase{"SavedAfterLastRow", RunState::Saved, 0, 0},
                      SafetyCase{"DiscardedAfterLastRow", RunState::Discarded, 0, 0},
                      SafetyCase{"RowsAfterSave", RunState::Saved, 2, 2},
                      SafetyCase{"RowsAfterDiscard", RunState::Discarded, 4, 4}),
    [](const ::testing::TestParamInfo<SafetyCase>& info) { return std::string(info.param.name); });

TEST_F(JournalDatabaseTest, SeveralCrashedRunsOfferTheLatestAndCountTheOlder)
{
    const std::int64_t first = crashedRun(2, 1'700'000'000'000);
    const std::int64_t second = crashedRun(4, 1'700'001'000'000);
    const std::int64_t empty = db_.beginRun(1'700'001'500'000); // ended with no rows: nothing to ask
    const std::int64_t third = crashedRun(1, 1'700'002'000'000);
    const auto offer = db_.recoveryOffer(db_.beginRun(1'800'000'000'000));
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->runId, third);
    EXPECT_EQ(offer->rows, 1);
    EXPECT_EQ(offer->olderRunIds, (std::vector<std::int64_t>{second, first}));
    (void)empty;
}

TEST_F(JournalDatabaseTest, SettledRunsAreNotOfferedAgain)
{
    const std::int64_t older = crashedRun(2);
    const std::int64_t latest = crashedRun(3);
    ASSERT_TRUE(db_.settle({latest, older}));
    EXPECT_FALSE(db_.recoveryOffer(db_.beginRun(1'800'000'000'000)));
    // The rows stay in the journal.
    EXPECT_EQ(RowsOf(db_, latest).size(), 3u);
}

TEST_F(JournalDatabaseTest, RecoveredRowsFollowTheRunThatTookThem)
{
    const std::int64_t lost = crashedRun(3, 1'700'000'000'000);
    const std::int64_t taker = db_.beginRun(1'700'000'500'000);
    ASSERT_TRUE(db_.recoverInto(lost, taker));
    appendRows(taker, 1, 2, 1'700'000'600'000);
    // The taker dies as well: its question covers both, the recovered rows first.
    const std::int64_t next = db_.beginRun(1'800'000'000'000);
    auto offer = db_.recoveryOffer(next);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->runId, taker);
    EXPECT_EQ(offer->rows, 5);
    EXPECT_EQ(offer->firstUtcMs, 1'700'000'000'000);
    EXPECT_EQ(offer->lastUtcMs, 1'700'000'601'000);
    std::vector<std::int64_t> times;
    ASSERT_TRUE(db_.readRecoverable(taker, [&](const JournalRecord& r) { times.push_back(r.utcMs); }));
    EXPECT_EQ(times, (std::vector<std::int64_t>{1'700'000'000'000, 1'700'000'001'000, 1'700'000'002'000,
                                                1'700'000'600'000, 1'700'000'601'000}));
    // A save in the run that holds them settles both.
    ASSERT_TRUE(db_.recoverInto(taker, next));
    ASSERT_TRUE(db_.markSafe(next, 0, RunState::Saved));
    EXPECT_FALSE(db_.recoveryOffer(db_.beginRun(1'900'000'000'000)));
    EXPECT_EQ(db_.run(lost)->state, RunState::Saved);
    EXPECT_EQ(db_.run(taker)->state, RunState::Saved);
}

TEST_F(JournalDatabaseTest, PruneDeletesOnlyOldSavedOrDiscardedRuns)
{
    const std::int64_t oldSaved = crashedRun(2, 1'000'000);
    ASSERT_TRUE(db_.markSafe(oldSaved, 2, RunState::Saved));
    ASSERT_TRUE(db_.endRun(oldSaved, 2'000'000));
    const std::int64_t oldDiscardedUnended = crashedRun(2, 1'000'000);
    ASSERT_TRUE(db_.markSafe(oldDiscardedUnended, 2, RunState::Discarded));
    const std::int64_t oldUnsaved = crashedRun(2, 1'000'000);
    const std::int64_t newSaved = crashedRun(2, 9'000'000);
    ASSERT_TRUE(db_.markSafe(newSaved, 2, RunState::Saved));

    EXPECT_EQ(db_.prune(5'000'000, true), 1); // the unended one may still be written
    EXPECT_FALSE(db_.run(oldSaved));
    EXPECT_TRUE(RowsOf(db_, oldSaved).empty());
    EXPECT_EQ(db_.prune(5'000'000, false), 1);
    EXPECT_FALSE(db_.run(oldDiscardedUnended));
    EXPECT_TRUE(db_.run(oldUnsaved));
    EXPECT_TRUE(db_.run(newSaved));
    EXPECT_EQ(RowsOf(db_, oldUnsaved).size(), 2u);
    EXPECT_TRUE(db_.integrityOk());
}

TEST_F(JournalDatabaseTest, LastRunWithRowsSkipsEmptyRuns)
{
    const std::int64_t withRows = crashedRun(1);
    db_.beginRun(1'800'000'000'000);
    EXPECT_EQ(db_.lastRunWithRows(), withRows);
}

} // namespace
} // namespace varnex::testing
