// The real program on the simulated meter, as a user runs it: rows reach the journal while
// it streams; SIGTERM ends the run cleanly with every row written; SIGKILL leaves a run
// without an end that the next start offers to recover, the terminated one named as older.
#include "JournalTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace varnex::testing {
namespace {

pid_t StartProgram(const QString& dataDir)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        const std::string dir = dataDir.toStdString();
        ::execl(VARNEX_PROGRAM, VARNEX_PROGRAM, "--simulate", "--connect", "com", "--data-dir", dir.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

// The newest run and its rows as another program sees them (0, 0 before the first).
std::pair<std::int64_t, std::int64_t> NewestRun(const QString& dir)
{
    JournalDatabase db;
    if (!QFile::exists(QString::fromStdString(JournalPath(dir))) || !db.open(JournalPath(dir), false))
        return {0, 0};
    const auto runs = db.runs();
    return runs.empty() ? std::make_pair(std::int64_t(0), std::int64_t(0)) : std::make_pair(runs.back().id, runs.back().rows);
}

TEST(journal_Program, TermEndsTheRunCleanlyAndKillLeavesRowsToRecover)
{
    QTemporaryDir dir;
    const pid_t first = StartProgram(dir.path());
    ASSERT_GT(first, 0);
    ASSERT_TRUE(WaitFor([&] { return NewestRun(dir.path()).second >= 3; }, 30000)) << "no rows from the meter";
    const std::int64_t terminatedRun = NewestRun(dir.path()).first;
    ::kill(first, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status)) << status;

    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(dir.path()), false));
    auto info = db.run(terminatedRun);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->endedUtcMs.has_value()); // the destructor drained, committed and ended the run
    const auto rows = RowsOf(db, terminatedRun);
    ASSERT_GE(rows.size(), 3u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i].no, std::int32_t(i + 1));
    db.close();

    const pid_t second = StartProgram(dir.path());
    ASSERT_TRUE(WaitFor([&] { const auto n = NewestRun(dir.path()); return n.first > terminatedRun && n.second >= 3; },
                        30000));
    const std::int64_t killedRun = NewestRun(dir.path()).first;
    ::kill(second, SIGKILL);
    ::waitpid(second, &status, 0);

    ASSERT_TRUE(db.open(JournalPath(dir.path()), false));
    EXPECT_TRUE(db.integrityOk());
    info = db.run(killedRun);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->endedUtcMs.has_value());
    const auto offer = db.recoveryOffer(0);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->runId, killedRun);
    EXPECT_EQ(offer->rows, info->rows);
    EXPECT_EQ(offer->olderRunIds, (std::vector<std::int64_t>{terminatedRun}));
}

} // namespace
} // namespace varnex::testing
