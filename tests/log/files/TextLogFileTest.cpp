// Saving and loading the tab-separated text form through the save/load service.
#include "LogFilesTestSupport.h"

#include "log/files/LogFileService.h"
#include "log/files/TextLogFormat.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using testing::Fill;
using testing::ReadAll;
using testing::Row;
using testing::RowsOf;
using testing::ThreeReadings;
using testing::WriteAll;

const QByteArray kHeaderLine = "No\tTime\tFunction\tValue\tUnit\tValue2\tUnit2\r\n";

class TextLogFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    QString path(const char* name) const { return dir.path(QString::fromUtf8(name)); }

    testing::ScratchDir dir;
    LogStore table;
};

// ctest names of this file start with logfiles_.
using logfiles_TextLogFile = TextLogFileTest;

TEST_F(logfiles_TextLogFile, ThreeRowsGiveFourCrLfLines)
{
    Fill(table, ThreeReadings());
    const SaveResult result = SaveTableToFile(table, path("log.txt"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.finalName, path("log.txt"));
    EXPECT_EQ(result.message, "Save table to specified file: " + path("log.txt") + " Scuss!");
    EXPECT_EQ(result.icon, MessageIcon::Information);
    EXPECT_EQ(ReadAll(path("log.txt")),
              kHeaderLine +
                  "1\t14:05:09\tDCV\t1.2345\tV\t\t\r\n"
                  "2\t14:05:10\tACV DCV\t-0.0012\tmV\t50.00\tKHz\r\n"
                  "4\t14:05:12\tohm\t12.345\tK*\t\t\r\n");
}

TEST_F(logfiles_TextLogFile, XlsIsTheSameTextAsTxt)
{
    Fill(table, ThreeReadings());
    ASSERT_TRUE(SaveTableToFile(table, path("log.xls")).ok);
    ASSERT_TRUE(SaveTableToFile(table, path("log.txt")).ok);
    EXPECT_EQ(ReadAll(path("log.xls")), ReadAll(path("log.txt")));
}

TEST_F(logfiles_TextLogFile, OtherExtensionsGetXlsAppendedAndNamedInTheMessage)
{
    Fill(table, ThreeReadings());
    const SaveResult result = SaveTableToFile(table, path("log.csv"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.finalName, path("log.csv.xls"));
    EXPECT_EQ(result.message, "Save table to specified file: " + path("log.csv.xls") + " Scuss!");
    EXPECT_FALSE(QFile::exists(path("log.csv")));
    ASSERT_TRUE(SaveTableToFile(table, path("log.txt")).ok);
    EXPECT_EQ(ReadAll(path("log.csv.xls")), ReadAll(path("log.txt")));
}

TEST_F(logfiles_TextLogFile, TextsAreTrimmedAndNoIsWrittenUnchanged)
{
    Fill(table, {{-7, "  14:05:09 ", "\tDCV\x01", " 1.2 3 ", "V  ", "\x7f" "5", "\r\nKHz"}});
    ASSERT_TRUE(SaveTableToFile(table, path("trim.txt")).ok);
    EXPECT_EQ(ReadAll(path("trim.txt")), kHeaderLine + "-7\t14:05:09\tDCV\t1.2 3\tV\t5\tKHz\r\n");
}

TEST_F(logfiles_TextLogFile, TabsAndLineBreaksInsideTextsBecomeSpacesSoTheFileLoadsBack)
{
    // Such texts only come from XML packets; the text form has no escaping.
    Fill(table, {{3, "a\tb", "c\r\nd", "e\rf", "g\nh", "", ""}});
    ASSERT_TRUE(SaveTableToFile(table, path("breaks.txt")).ok);
    EXPECT_EQ(ReadAll(path("breaks.txt")), kHeaderLine + "3\ta b\tc  d\te f\tg h\t\t\r\n");
    LogStore loaded;
    ASSERT_TRUE(LoadTableFromFile(path("breaks.txt"), loaded).ok);
    EXPECT_EQ(RowsOf(loaded), (std::vector<Row>{{3, "a b", "c  d", "e f", "g h", "", ""}}));
}

// A NUL or other control byte inside a text (from a foreign text file) is written as "?" in
// both forms, so a text file converted to XML and back to text is the same file.
TEST_F(logfiles_TextLogFile, ControlBytesInsideTextsSurviveTextToXmlToText)
{
    using namespace std::string_literals;
    WriteAll(path("foreign.txt"), QByteArray::fromStdString("h\r\n4\ta\0b\tc\x01\x1F" "d\te\x7F" "f\t\0\t\x02\r\n"s));
    ASSERT_TRUE(LoadTableFromFile(path("foreign.txt"), table).ok);
    ASSERT_EQ(RowsOf(table), (std::vector<Row>{{4, "a\0b"s, "c\x01\x1F" "d", "e\x7F" "f", "\0"s, "\x02", ""}}));
    ASSERT_TRUE(SaveTableToFile(table, path("first.txt")).ok);
    EXPECT_EQ(ReadAll(path("first.txt")), kHeaderLine + "4\ta?b\tc??d\te\x7F" "f\t\t\t\r\n");

    // first.txt -> mid.xml -> second.txt, as "varnex-cli convert" does it.
    LogStore fromText, fromXml;
    ASSERT_TRUE(LoadTableFromFile(path("first.txt"), fromText).ok);
    ASSERT_TRUE(SaveTableToFile(fromText, path("mid.xml")).ok);
    ASSERT_TRUE(LoadTableFromFile(path("mid.xml"), fromXml).ok);
    EXPECT_EQ(RowsOf(fromXml), RowsOf(fromText));
    ASSERT_TRUE(SaveTableToFile(fromXml, path("second.txt")).ok);
    EXPECT_EQ(ReadAll(path("second.txt")), ReadAll(path("first.txt")));
}

TEST_F(logfiles_TextLogFile, Latin1BytesAreWrittenAsTheyAre)
{
    Fill(table, {{1, "12:00:00", "Temp\xB0", "\xB5" "A", "\xE9t\xE9", "", ""}});
    ASSERT_TRUE(SaveTableToFile(table, path("latin.txt")).ok);
    EXPECT_EQ(ReadAll(path("latin.txt")), kHeaderLine + "1\t12:00:00\tTemp\xB0\t\xB5" "A\t\xE9t\xE9\t\t\r\n");
}

TEST_F(logfiles_TextLogFile, EmptyTableGivesTheHeaderAlone)
{
    ASSERT_TRUE(SaveTableToFile(table, path("empty.xls")).ok);
    EXPECT_EQ(ReadAll(path("empty.xls")), kHeaderLine);
}

TEST_F(logfiles_TextLogFile, AfterATextSaveTheCurrentRowIsTheLast)
{
    Fill(table, ThreeReadings());
    table.setCurrentRow(0);
    ASSERT_TRUE(SaveTableToFile(table, path("log.txt")).ok);
    EXPECT_EQ(table.currentRow(), 2);
}

TEST_F(logfiles_TextLogFile, UnwritableFileIsReportedAndLeavesTableAndOldFileAlone)
{
    Fill(table, ThreeReadings());
    const QString missingFolder = path("no/such/folder/log.txt");
    const SaveResult result = SaveTableToFile(table, missingFolder);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Could not save table to specified file: " + missingFolder);
    EXPECT_EQ(result.icon, MessageIcon::Information);
    EXPECT_EQ(RowsOf(table), ThreeReadings());
}

TEST_F(logfiles_TextLogFile, SaveReplacesAnExistingFile)
{
    WriteAll(path("log.txt"), QByteArray(10000, 'z'));
    ASSERT_TRUE(SaveTableToFile(table, path("log.txt")).ok);
    EXPECT_EQ(ReadAll(path("log.txt")), kHeaderLine);
}

TEST_F(logfiles_TextLogFile, WriteToFullDeviceFails)
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        GTEST_SKIP() << "/dev/full not available";
    Fill(table, ThreeReadings());
    EXPECT_FALSE(WriteTextLog(full, table));
}

TEST_F(logfiles_TextLogFile, RoundTripKeepsRowsAndNumbers)
{
    Fill(table, ThreeReadings());
    ASSERT_TRUE(SaveTableToFile(table, path("log.txt")).ok);
    LogStore loaded;
    const LoadResult result = LoadTableFromFile(path("log.txt"), loaded);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_EQ(RowsOf(loaded), ThreeReadings());
    EXPECT_EQ(loaded.currentRow(), 2);
}

TEST_F(logfiles_TextLogFile, LoadingAppendsSoTwiceGivesEveryRowTwice)
{
    Fill(table, ThreeReadings());
    ASSERT_TRUE(SaveTableToFile(table, path("log.xls")).ok);
    ASSERT_TRUE(LoadTableFromFile(path("log.xls"), table).ok);
    std::vector<Row> expected = ThreeReadings();
    const std::vector<Row> again = ThreeReadings();
    expected.insert(expected.end(), again.begin(), again.end());
    EXPECT_EQ(RowsOf(table), expected);
}

struct LoadCase {
    const char* title;
    QByteArray content;
    bool ok;
    std::vector<Row> rows; // what the empty table holds afterwards
};

class TextLoadCases : public TextLogFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(TextLoadCases, LoadsByTheRules)
{
    const LoadCase& c = GetParam();
    testing::WriteAll(path("in.txt"), c.content);
    const LoadResult result = LoadTableFromFile(path("in.txt"), table);
    EXPECT_EQ(result.ok, c.ok);
    EXPECT_EQ(result.message, c.ok ? QString() : QStringLiteral("Failed to Load File!"));
    EXPECT_EQ(RowsOf(table), c.rows);
}

const std::string kLong(30, 'L');

INSTANTIATE_TEST_SUITE_P(
    logfiles_TextLog, TextLoadCases,
    ::testing::Values(
        LoadCase{"FirstLineIsDroppedWhateverItHolds", "1\ta\r\n2\tb\r\n", true, {{2, "b", "", "", "", "", ""}}},
        LoadCase{"HeaderOnly", "No\tTime\tFunction\tValue\tUnit\tValue2\tUnit2\r\n", true, {}},
        LoadCase{"EmptyFirstLineStillCounts", "\r\n5\tx\r\n", true, {{5, "x", "", "", "", "", ""}}},
        LoadCase{"FourPiecesLeaveTheRestEmpty", "h\r\n9\t10:00:00\tDCV\t1.5\r\n", true,
                 {{9, "10:00:00", "DCV", "1.5", "", "", ""}}},
        LoadCase{"SevenPiecesFillAll", "h\r\n3\tt\tf\tv\tu\tv2\tu2\r\n", true, {{3, "t", "f", "v", "u", "v2", "u2"}}},
        LoadCase{"PiecesAreNotTrimmed", "h\r\n3\t t \t f\r\n", true, {{3, " t ", " f", "", "", "", ""}}},
        LoadCase{"TextsAreCutTo20", QByteArray::fromStdString("h\r\n1\t" + kLong + "\r\n"), true,
                 {{1, std::string(20, 'L'), "", "", "", "", ""}}},
        LoadCase{"NoWithSignAndBlanks", "h\r\n-4\ta\r\n +6 \tb\r\n", true,
                 {{-4, "a", "", "", "", "", ""}, {6, "b", "", "", "", "", ""}}},
        LoadCase{"LfOnly", "h\n1\ta\n2\tb\n", true, {{1, "a", "", "", "", "", ""}, {2, "b", "", "", "", "", ""}}},
        LoadCase{"CrOnly", "h\r1\ta\r2\tb\r", true, {{1, "a", "", "", "", "", ""}, {2, "b", "", "", "", "", ""}}},
        LoadCase{"LastLineWithoutEnding", "h\r\n1\ta\r\n2\tb", true,
                 {{1, "a", "", "", "", "", ""}, {2, "b", "", "", "", "", ""}}},
        LoadCase{"Latin1Kept", "h\r\n1\t\xB0" "C\t\xE9\r\n", true, {{1, "\xB0" "C", "\xE9", "", "", "", ""}}},
        LoadCase{"EmptyFileFails", "", false, {}},
        LoadCase{"BadNoFailsKeepingEarlierRows", "h\r\n1\ta\r\nx\tb\r\n3\tc\r\n", false, {{1, "a", "", "", "", "", ""}}},
        LoadCase{"BlankLineHasNoNumber", "h\r\n1\ta\r\n\r\n2\tb\r\n", false, {{1, "a", "", "", "", "", ""}}},
        LoadCase{"EightPiecesFailAndStoreNothingOfThatLine", "h\r\n1\ta\r\n2\ta\tb\tc\td\te\tf\tg\r\n", false,
                 {{1, "a", "", "", "", "", ""}}},
        LoadCase{"TrailingTabMakesAnEighthPiece", "h\r\n2\ta\tb\tc\td\te\tf\t\r\n", false, {}},
        LoadCase{"NoOutOfRange", "h\r\n2147483648\ta\r\n", false, {}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.title); });

TEST_F(logfiles_TextLogFile, MissingFileFailsAndLeavesRows)
{
    Fill(table, ThreeReadings());
    const LoadResult result = LoadTableFromFile(path("missing.txt"), table);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Failed to Load File!");
    EXPECT_EQ(RowsOf(table), ThreeReadings());
}

TEST_F(logfiles_TextLogFile, FolderInsteadOfAFileFailsBothWays)
{
    Fill(table, ThreeReadings());
    EXPECT_FALSE(LoadTableFromFile(dir.path(QString()), table).ok);
    EXPECT_FALSE(LoadTableFromFile(dir.path(QString()) + "/", table).ok);
    ASSERT_TRUE(QDir(dir.path(QString())).mkdir(QStringLiteral("taken.txt")));
    const SaveResult saved = SaveTableToFile(table, path("taken.txt"));
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.message, "Could not save table to specified file: " + path("taken.txt"));
    EXPECT_EQ(RowsOf(table), ThreeReadings());
}

TEST_F(logfiles_TextLogFile, TableStillTakesRowsAfterAFailedLoad)
{
    testing::WriteAll(path("bad.txt"), "h\r\n1\ta\r\nbad\r\n");
    EXPECT_FALSE(LoadTableFromFile(path("bad.txt"), table).ok);
    table.append(LogRowInput{7, "t", "f", "v", "u", "", ""});
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.row(1).No, 7);
    EXPECT_EQ(table.currentRow(), 1);
}

} // namespace
} // namespace varnex
