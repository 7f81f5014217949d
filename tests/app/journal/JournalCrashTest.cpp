// The logging core is killed with SIGKILL at random moments while rows stream in, fifty
// times over one data folder. After every kill the journal opens cleanly and holds every
// row logged more than a second before the kill, in order, each once; the runs of the
// earlier kills stay as they were.
#include "JournalTestSupport.h"

#include "log/MeasurementLog.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

namespace varnex::testing {
namespace {

struct Reported {
    std::int32_t no;
    std::int64_t utcMs;
};

std::vector<Reported> ReportedRows(const std::vector<std::string>& lines)
{
    std::vector<Reported> rows;
    for (const std::string& line : lines) {
        if (line.rfind("ROW ", 0) != 0)
            continue;
        std::istringstream in(line.substr(4));
        Reported r{};
        in >> r.no >> r.utcMs;
        rows.push_back(r);
    }
    return rows;
}

TEST(journal_Crash, FiftyKillsWhileRowsStreamLoseNothingOlderThanASecond)
{
    QTemporaryDir dir;
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // One kill in three early (the first rows may still wait for their commit), the others
    // after rows have streamed for over a second.
    std::uniform_int_distribution<int> earlyMs(100, 1000), lateMs(1100, 1700);
    std::map<std::int64_t, std::size_t> rowsPerRun;
    int killsWithOldRows = 0;
    for (int kill = 0; kill < 50; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill) + ", seed " + std::to_string(seed));
        StreamChild child({dir.path().toStdString()});
        ASSERT_TRUE(child.readUntil("OPENED ", 15000));
        const std::int64_t run = std::stoll(child.lines[std::size_t(
            std::find_if(child.lines.begin(), child.lines.end(), [](const std::string& l) { return l.rfind("OPENED ", 0) == 0; }) -
            child.lines.begin())].substr(7));
        child.read(kill % 3 == 0 ? earlyMs(random) : lateMs(random));
        const std::int64_t killedAt = SystemUtcMs();
        child.killNow();
        child.drain(); // rows reported before the kill that were still in the pipe
        const std::vector<Reported> reported = ReportedRows(child.lines);

        JournalDatabase db;
        ASSERT_TRUE(db.open(JournalPath(dir.path()), false)) << db.error();
        ASSERT_TRUE(db.integrityOk());
        const std::vector<JournalRecord> stored = RowsOf(db, run);
        // In order and each once: the numbers run 1, 2, 3, ... as they were logged.
        for (std::size_t i = 0; i < stored.size(); ++i)
            ASSERT_EQ(stored[i].no, std::int32_t(i + 1)) << "row " << i;
        // Every row that reached the journal matches what was logged (a row may be in the
        // queue before the child could report it, never the other way round).
        ASSERT_LE(stored.size(), reported.size() + 1);
        for (std::size_t i = 0; i < stored.size() && i < reported.size(); ++i)
            ASSERT_EQ(stored[i].utcMs, reported[i].utcMs) << "row " << i;
        std::size_t old = 0;
        for (const Reported& r : reported)
            old += r.utcMs < killedAt - 1000 ? 1 : 0;
        ASSERT_GE(stored.size(), old) << "rows older than a second were lost";
        killsWithOldRows += old > 0 ? 1 : 0;
        rowsPerRun[run] = stored.size();
        // The runs of earlier kills are untouched.
        for (const auto& [earlier, count] : rowsPerRun)
            ASSERT_EQ(RowsOf(db, earlier).size(), count) << "run " << earlier;
    }
    EXPECT_EQ(rowsPerRun.size(), 50u);
    // The late kills all came after rows had been streaming for over a second.
    EXPECT_GE(killsWithOldRows, 33);
}

} // namespace
} // namespace varnex::testing
