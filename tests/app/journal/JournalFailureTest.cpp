// When the journal cannot be written (a read-only folder, a disk that fills up, a database
// locked by someone else, a second program on the same folder) logging goes on in memory,
// the failure is told once, and the file stays sound.
#include "JournalTestSupport.h"

#include "app/journal/Journal.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

namespace varnex::testing {
namespace {

int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    int n = 0;
    for (const std::string& line : lines)
        n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

// Index of the first line with the prefix, or -1.
int FirstIndex(const std::vector<std::string>& lines, const std::string& prefix)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0)
            return int(i);
    return -1;
}

TEST(journal_Failure, ReadOnlyFolderIsToldOnceAndLoggingGoesOn)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(dir.path().toLocal8Bit().constData(), 0555), 0);
    StreamChild child({dir.path().toStdString(), "--rows", "300", "--as-nobody", "1"});
    const int status = child.wait();
    child.drain();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(CountPrefix(child.lines, "FAILED "), 1);
    const int failed = FirstIndex(child.lines, "FAILED ");
    ASSERT_GE(failed, 0);
    EXPECT_EQ(child.lines[std::size_t(failed)], "FAILED the folder " + dir.path().toStdString() + " is not writable");
    EXPECT_EQ(CountPrefix(child.lines, "ROW "), 300); // every reading still logged
    EXPECT_FALSE(QFile::exists(dir.filePath("journal.sqlite")));
    ::chmod(dir.path().toLocal8Bit().constData(), 0700);
}

TEST(journal_Failure, DiskThatFillsUpStopsTheJournalOnceAndLeavesASoundFile)
{
    QTemporaryDir dir;
    StreamChild child({dir.path().toStdString(), "--rows", "1500", "--file-size-limit", "65536"});
    const int status = child.wait();
    child.drain();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(CountPrefix(child.lines, "FAILED "), 1);
    const int failed = FirstIndex(child.lines, "FAILED ");
    EXPECT_EQ(child.lines[std::size_t(failed)], "FAILED disk I/O error");
    EXPECT_EQ(CountPrefix(child.lines, "ROW "), 1500);
    // Rows kept coming after the failure: logging in memory went on.
    EXPECT_LT(failed, int(child.lines.size()) - 2);

    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(dir.path()), false)) << db.error();
    EXPECT_TRUE(db.integrityOk());
    const auto runs = db.runs();
    ASSERT_EQ(runs.size(), 1u);
    // What was committed before the disk filled is there, in order, and less than all.
    const auto rows = RowsOf(db, runs[0].id);
    EXPECT_LT(rows.size(), 1500u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i].no, std::int32_t(i + 1));
}

TEST(journal_Failure, DatabaseLockedBySomeoneElseFailsWithoutStallingTheLoggingThread)
{
    QTemporaryDir dir;
    Journal journal(dir.path());
    int failures = 0;
    QString reason;
    journal.setOnFailed([&](const QString& r) {
        ++failures;
        reason = r;
    });
    ASSERT_TRUE(WaitFor([&] { return journal.state() == JournalState::Writing; }));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(JournalPath(dir.path()).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO runs(started_utc_ms) VALUES(1);", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    auto slowest = std::chrono::steady_clock::duration::zero();
    int no = 0;
    const bool told = WaitFor(
        [&] {
            const auto before = std::chrono::steady_clock::now();
            journal.rowLogged(MakeLoggedRow({}, ++no, SystemUtcMs()));
            slowest = std::max(slowest, std::chrono::steady_clock::now() - before);
            return failures > 0;
        },
        20000);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(told);
    EXPECT_EQ(reason, QStringLiteral("database is locked"));
    EXPECT_EQ(journal.state(), JournalState::Failed);
    EXPECT_LT(slowest, std::chrono::milliseconds(20));
    // Later rows are counted as not journaled, and nothing more is told.
    journal.rowLogged(MakeLoggedRow({}, ++no, SystemUtcMs()));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(journal.missedRows(), no);
    EXPECT_TRUE(journal.statusText().contains(QStringLiteral("not written (database is locked)")));
}

TEST(journal_Failure, SecondProgramOnTheSameFolderGetsNoRunAndTheFirstGoesOn)
{
    QTemporaryDir dir;
    StreamChild first({dir.path().toStdString()});
    ASSERT_TRUE(first.readUntil("OPENED ", 10000));
    QString reason;
    {
        Journal second(dir.path());
        second.setOnFailed([&](const QString& r) { reason = r; });
        ASSERT_TRUE(WaitFor([&] { return !reason.isEmpty(); }));
        EXPECT_EQ(second.state(), JournalState::Failed);
        second.rowLogged(MakeLoggedRow({}, 1, 1));
    }
    EXPECT_EQ(reason, QStringLiteral("another program is writing the journal in %1").arg(dir.path()));
    first.read(600);
    first.killNow();
    first.drain();

    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(dir.path()), false));
    EXPECT_TRUE(db.integrityOk());
    const auto runs = db.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GT(runs[0].rows, 0);
    // The folder is free again once the first program is gone.
    Journal third(dir.path());
    ASSERT_TRUE(WaitFor([&] { return third.state() != JournalState::Opening; }));
    EXPECT_EQ(third.state(), JournalState::Writing);
}

} // namespace
} // namespace varnex::testing
