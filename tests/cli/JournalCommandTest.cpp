// varnex-cli journal list, export and prune, run as the executable on a journal made here.
#include "app/journal/JournalDatabase.h"
#include "log/LogStore.h"
#include "log/files/LogFileService.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <sys/wait.h>

#include <fstream>

namespace varnex::cli {
namespace {

struct CliResult {
    int exitCode = -1;
    std::string out, err;
};

std::string Slurp(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

class journal_Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db_.open(QDir(dir_.path()).filePath("journal.sqlite").toStdString())) << db_.error();
        // Run 1: saved and ended. Run 2: killed with three unsaved rows. Run 3: discarded, no end.
        saved_ = addRun(1'700'000'000'000, {row(1, 1'700'000'001'000, "DCV", "1.23456", "V", 1.23456, "V", "V")});
        db_.markSafe(saved_, 1, RunState::Saved);
        db_.endRun(saved_, 1'700'000'060'000);
        JournalRecord ohms = row(4, 1'700'000'100'042, "ohm", "12.5", "K*", 12500, "\u03A9", "k\u03A9");
        JournalRecord comma = row(5, 1'700'000'101'000, "say \"x\"", "1,5", "mV", 0.0015, "V", "mV");
        comma.value2 = "50.00";
        comma.unit2 = "KHz";
        comma.plainUnit2 = "kHz";
        JournalRecord overload = row(6, 1'700'000'102'000, "ohm", "0.L", "M*", std::nullopt, "\u03A9", "M\u03A9");
        JournalRecord loaded = row(2, 0, "cap", "1.0", "\u00b5F", 1e-6, "F", "\u00b5F"); // Latin-1 µ, stored as UTF-8
        loaded.source = JournalSource::Load;
        crashed_ = addRun(1'700'000'099'000, {ohms, comma, overload, loaded});
        discarded_ = addRun(1'700'000'200'000, {row(1, 1'700'000'201'000, "DCV", "2.00000", "V", 2, "V", "V")});
        db_.markSafe(discarded_, 1, RunState::Discarded);
        db_.close();
    }

    static JournalRecord row(std::int32_t no, std::int64_t utc, const char* function, const char* value,
                             const char* unit, std::optional<double> si, const char* siUnit, const char* plain)
    {
        JournalRecord r;
        r.no = no;
        r.utcMs = utc;
        r.time = "22:13:21";
        r.function = function;
        r.value = value;
        r.unit = unit;
        r.siValue = si;
        r.siUnit = siUnit;
        r.plainUnit = plain;
        return r;
    }
    std::int64_t addRun(std::int64_t started, const std::vector<JournalRecord>& rows)
    {
        const std::int64_t run = db_.beginRun(started);
        EXPECT_TRUE(db_.begin());
        EXPECT_TRUE(db_.insertRows(run, 1, rows.data(), rows.size())) << db_.error();
        EXPECT_TRUE(db_.markUnsaved(run));
        EXPECT_TRUE(db_.commit());
        return run;
    }
    CliResult cli(const std::string& args)
    {
        const std::string out = dir_.filePath("stdout").toStdString(), err = dir_.filePath("stderr").toStdString();
        const std::string command = std::string("'") + VARNEX_CLI + "' " + args + " >'" + out + "' 2>'" + err + "' </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(QString::fromStdString(out)),
                Slurp(QString::fromStdString(err))};
    }
    std::string dirArg() const { return " --data-dir '" + dir_.path().toStdString() + "'"; }

    QTemporaryDir dir_;
    JournalDatabase db_;
    std::int64_t saved_ = 0, crashed_ = 0, discarded_ = 0;
};

TEST_F(journal_Cli, ListPrintsOneLinePerRun)
{
    const CliResult r = cli("journal list" + dirArg());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "run\tstarted\tended\trows\tstate\n"
                     "1\t2023-11-14T22:13:20.000Z\t2023-11-14T22:14:20.000Z\t1\tsaved\n"
                     "2\t2023-11-14T22:14:59.000Z\t-\t4\tunsaved\n"
                     "3\t2023-11-14T22:16:40.000Z\t-\t1\tdiscarded\n");
}

TEST_F(journal_Cli, CsvExportHoldsTheFullRecordQuotedAsRfc4180)
{
    const QString out = dir_.filePath("run.csv");
    const CliResult r = cli("journal export 2" + dirArg() + " -o '" + out.toStdString() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Slurp(out), "time_utc,no,function,value,unit,si_value,si_unit,value2,unit2\r\n"
                          "2023-11-14T22:15:00.042Z,4,ohm,12.5,k\u03A9,12500,\u03A9,,\r\n"
                          "2023-11-14T22:15:01.000Z,5,\"say \"\"x\"\"\",\"1,5\",mV,0.0015,V,50.00,kHz\r\n"
                          "2023-11-14T22:15:02.000Z,6,ohm,0.L,M\u03A9,,\u03A9,,\r\n"
                          ",2,cap,1.0,\u00b5F,1e-06,F,,\r\n");
}

class journal_CliForms : public journal_Cli, public ::testing::WithParamInterface<const char*> {};

TEST_P(journal_CliForms, SevenColumnExportIsTheSaveOfTheSameRows)
{
    const QString out = dir_.filePath(QStringLiteral("run") + GetParam());
    const CliResult r = cli("journal export last" + dirArg() + " -o '" + out.toStdString() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // "last" is the newest run with rows: the discarded one.
    LogStore table;
    table.append(LogRowInput{1, "22:13:21", "DCV", "2.00000", "V", "", ""});
    const QString expected = dir_.filePath(QStringLiteral("expected") + GetParam());
    const SaveResult saved = SaveTableToFile(table, expected);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(Slurp(saved.finalName), Slurp(out.endsWith(".log") ? out + ".xls" : out));
    EXPECT_NE(Slurp(saved.finalName), "<missing>");
}

INSTANTIATE_TEST_SUITE_P(Forms, journal_CliForms, ::testing::Values(".txt", ".xls", ".xml", ".log"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param + 1); });

TEST_F(journal_Cli, Latin1TextsComeBackAsTheTableHeldThem)
{
    const QString out = dir_.filePath("run2.txt");
    ASSERT_EQ(cli("journal export 2" + dirArg() + " -o '" + out.toStdString() + "'").exitCode, 0);
    const std::string text = Slurp(out);
    EXPECT_NE(text.find("2\t22:13:21\tcap\t1.0\t\xb5" "F\t\t\r\n"), std::string::npos) << text;
}

TEST_F(journal_Cli, PruneDeletesSavedAndDiscardedRunsButNotOneThatMayStillBeWritten)
{
    {
        // A window holds the folder: the discarded run has no end and may still be its own.
        QLockFile lock(QDir(dir_.path()).filePath("journal.lock"));
        ASSERT_TRUE(lock.tryLock(0));
        const CliResult r = cli("journal prune --older-than 0" + dirArg());
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "1 runs deleted\n");
    }
    const CliResult r = cli("journal prune --older-than 0" + dirArg());
    EXPECT_EQ(r.out, "1 runs deleted\n");
    const CliResult list = cli("journal list" + dirArg());
    EXPECT_EQ(list.out, "run\tstarted\tended\trows\tstate\n2\t2023-11-14T22:14:59.000Z\t-\t4\tunsaved\n");
    // Runs younger than the limit stay.
    EXPECT_EQ(cli("journal prune --older-than 100000" + dirArg()).out, "0 runs deleted\n");
}

struct BadCase {
    const char* name;
    const char* args;
    int exitCode;
};
// Stable test names in ctest: the case's name, not its bytes.
inline void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class journal_CliBad : public journal_Cli, public ::testing::WithParamInterface<BadCase> {};

TEST_P(journal_CliBad, RefusesWithItsExitCode)
{
    const CliResult r = cli(std::string("journal ") + GetParam().args + dirArg());
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.err;
    EXPECT_FALSE(r.err.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, journal_CliBad,
    ::testing::Values(BadCase{"NoVerb", "", 2}, BadCase{"UnknownVerb", "show", 2},
                      BadCase{"ExportWithoutOut", "export 2", 2}, BadCase{"PruneWithoutDays", "prune", 2},
                      BadCase{"NegativeDays", "prune --older-than -1", 2},
                      BadCase{"NoSuchRun", "export 99 -o /dev/null", 1},
                      BadCase{"RunNotANumber", "export two -o /dev/null", 1}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(journal_CliMissing, FolderWithoutJournalIsAFailure)
{
    QTemporaryDir empty;
    const std::string command = std::string("'") + VARNEX_CLI + "' journal list --data-dir '" + empty.path().toStdString() +
                                "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(QFile::exists(empty.filePath("journal.sqlite")));
}

} // namespace
} // namespace varnex::cli
