// The XML data packet: what we write, round trips, packets of other writers, refusals.
#include "LogFilesTestSupport.h"

#include "log/files/BufferedWriter.h"
#include "log/files/LogFileService.h"
#include "log/files/XmlLogFormat.h"

#include <QBuffer>
#include <QFile>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using testing::Fill;
using testing::ReadAll;
using testing::Row;
using testing::RowsOf;
using testing::ThreeReadings;
using testing::WriteAll;

class XmlLogFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    QString path(const char* name) const { return dir.path(QString::fromUtf8(name)); }

    // Loads bytes written to a ".xml" file into table.
    LoadResult LoadPacket(const QByteArray& bytes)
    {
        WriteAll(path("in.xml"), bytes);
        return LoadTableFromFile(path("in.xml"), table);
    }

    testing::ScratchDir dir;
    LogStore table;
};

// ctest names of this file start with logfiles_.
using logfiles_XmlLogFile = XmlLogFileTest;

TEST_F(logfiles_XmlLogFile, UpperCaseXmlNameWritesThePacket)
{
    Fill(table, ThreeReadings());
    const SaveResult result = SaveTableToFile(table, path("LOG.XML"));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.finalName, path("LOG.XML"));
    EXPECT_EQ(result.message, "Save table to specified file: " + path("LOG.XML") + " Scuss!");
    const QByteArray bytes = ReadAll(path("LOG.XML"));
    EXPECT_TRUE(bytes.startsWith(R"(<?xml version="1.0" standalone="yes"?>)")) << bytes.left(60).toStdString();
    EXPECT_TRUE(bytes.contains(R"(<DATAPACKET Version="2.0"><METADATA><FIELDS>)"));
    EXPECT_TRUE(bytes.contains(R"(<FIELD attrname="No" fieldtype="i4"/>)"));
    for (const char* text : {"Time", "Function", "Value", "Unit", "Value2", "Unit2"})
        EXPECT_TRUE(bytes.contains(QByteArray(R"(<FIELD attrname=")") + text + R"(" fieldtype="string" WIDTH="20"/>)"))
            << text;
    EXPECT_TRUE(bytes.contains("</FIELDS><PARAMS/></METADATA><ROWDATA>"));
    EXPECT_TRUE(bytes.contains(
        R"(<ROW No="2" Time="14:05:10" Function="ACV DCV" Value="-0.0012" Unit="mV" Value2="50.00" Unit2="KHz"/>)"));
    EXPECT_TRUE(bytes.contains(R"(<ROW No="1" Time="14:05:09" Function="DCV" Value="1.2345" Unit="V"/>)"))
        << "empty texts are left out";
    EXPECT_TRUE(bytes.trimmed().endsWith("</ROWDATA></DATAPACKET>"));
    EXPECT_EQ(bytes.count("<ROW "), 3);
}

TEST_F(logfiles_XmlLogFile, EmptyTableWritesAWellFormedPacketThatLoadsEmpty)
{
    ASSERT_TRUE(SaveTableToFile(table, path("empty.xml")).ok);
    Fill(table, ThreeReadings());
    EXPECT_TRUE(LoadTableFromFile(path("empty.xml"), table).ok);
    EXPECT_EQ(table.size(), 0u);
}

TEST_F(logfiles_XmlLogFile, AttributeValuesAreEscapedForAnyReader)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        BufferedWriter out(buffer);
        WriteXmlAttributeValue(out, "a&b<c>d\"e'f\xE9\xFF\t\n\r\x01\x7F");
    }
    EXPECT_EQ(buffer.data(), "a&amp;b&lt;c&gt;d&quot;e'f&#233;&#255;&#9;&#10;&#13;?&#127;");
}

TEST_F(logfiles_XmlLogFile, RoundTripKeepsEveryText)
{
    const std::vector<Row> rows = {
        {1, "14:05:09", "DCV", "1,2345", "V", "", ""},
        {-3, "2:05:09 PM", "Temp\xB0" "C", "\xB5" "A & <b>", "\"K*\"", "caf\xE9", "\xFF\xA0"},
        {7, " spaced ", "tab\there", "line\nbreak", "cr\rx", "'quote'", ""},
        {2147483647, "", "", "", "", "", ""},
    };
    Fill(table, rows);
    ASSERT_TRUE(SaveTableToFile(table, path("round.xml")).ok);
    const QByteArray bytes = ReadAll(path("round.xml"));
    for (char c : bytes)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the packet must be plain ASCII";

    LogStore loaded;
    ASSERT_TRUE(LoadTableFromFile(path("round.xml"), loaded).ok);
    EXPECT_EQ(RowsOf(loaded), rows);
}

TEST_F(logfiles_XmlLogFile, LoadReplacesAllRowsInTheOrderOfThePacket)
{
    Fill(table, ThreeReadings());
    ASSERT_TRUE(SaveTableToFile(table, path("three.xml")).ok);
    LogStore other;
    Fill(other, {{100, "a", "", "", "", "", ""}, {101, "b", "", "", "", "", ""}});
    ASSERT_TRUE(LoadTableFromFile(path("three.xml"), other).ok);
    EXPECT_EQ(RowsOf(other), ThreeReadings());
    EXPECT_EQ(other.currentRow(), 2);
}

struct PacketCase {
    const char* title;
    QByteArray packet;
    std::vector<Row> rows;
};

class ForeignPackets : public XmlLogFileTest, public ::testing::WithParamInterface<PacketCase> {};

TEST_P(ForeignPackets, LoadTheirRows)
{
    Fill(table, {{55, "old", "", "", "", "", ""}});
    const LoadResult result = LoadPacket(GetParam().packet);
    EXPECT_TRUE(result.ok) << GetParam().packet.toStdString();
    EXPECT_TRUE(result.message.isEmpty());
    EXPECT_EQ(RowsOf(table), GetParam().rows);
}

const QByteArray kFields =
    R"(<METADATA><FIELDS><FIELD attrname="No" fieldtype="i4"/><FIELD attrname="Time" fieldtype="string" WIDTH="20"/>)"
    R"(<FIELD attrname="Function" fieldtype="string" WIDTH="20"/><FIELD attrname="Value" fieldtype="string" WIDTH="20"/>)"
    R"(<FIELD attrname="Unit" fieldtype="string" WIDTH="20"/><FIELD attrname="Value2" fieldtype="string" WIDTH="20"/>)"
    R"(<FIELD attrname="Unit2" fieldtype="string" WIDTH="20"/></FIELDS><PARAMS/></METADATA>)";

QByteArray Packet(const QByteArray& rows, const QByteArray& declaration = R"(<?xml version="1.0" standalone="yes"?>)",
                  const QByteArray& fields = kFields)
{
    return declaration + "<DATAPACKET Version=\"2.0\">" + fields + "<ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

INSTANTIATE_TEST_SUITE_P(
    logfiles_XmlLog, ForeignPackets,
    ::testing::Values(
        PacketCase{"AttributesInAnyOrder",
                   Packet(R"(<ROW Unit2="" Value2="" Unit="V" Value="1.0" Function="DCV" Time="t" No="5"/>)"),
                   {{5, "t", "DCV", "1.0", "V", "", ""}}},
        PacketCase{"AbsentFieldsAreEmpty", Packet(R"(<ROW No="6" Value="2"/><ROW Time="t"/>)"),
                   {{6, "", "", "2", "", "", ""}, {0, "t", "", "", "", "", ""}}},
        PacketCase{"RowStateAndExtraAttributes",
                   Packet(R"(<ROW RowState="4" No="1" Time="t" Extra="x"/>)"), {{1, "t", "", "", "", "", ""}}},
        PacketCase{"LowerCaseWidthAndFieldnames",
                   Packet(R"(<ROW No="2" Unit="mV"/>)", R"(<?xml version="1.0"?>)",
                          R"(<METADATA><FIELDS><FIELD fieldname="No" attrname="No" fieldtype="i4"/>)"
                          R"(<FIELD width="20" attrname="Unit" fieldtype="string" fieldname="Unit"/></FIELDS>)"
                          R"(<PARAMS CHANGE_LOG="1 0 4" LCID="1033"/></METADATA>)"),
                   {{2, "", "", "", "mV", "", ""}}},
        PacketCase{"WhitespaceBetweenElements",
                   "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\n  " + kFields +
                       "\n  <ROWDATA>\n    <ROW No=\"1\" Time=\"a\"/>\n    <ROW No=\"2\" Time=\"b\"/>\n  </ROWDATA>\n</DATAPACKET>\n",
                   {{1, "a", "", "", "", "", ""}, {2, "b", "", "", "", "", ""}}},
        PacketCase{"Utf8Text", Packet("<ROW No=\"1\" Function=\"Temp\xC2\xB0\" Unit=\"\xC2\xB5" "A\" Value=\"caf\xC3\xA9\"/>",
                                      R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"),
                   {{1, "", "Temp\xB0", "caf\xE9", "\xB5" "A", "", ""}}},
        PacketCase{"Latin1Text", Packet("<ROW No=\"1\" Function=\"Temp\xB0\" Unit=\"\xB5" "A\" Value=\"caf\xE9\"/>",
                                        R"(<?xml version="1.0" encoding="ISO-8859-1" standalone="yes"?>)"),
                   {{1, "", "Temp\xB0", "caf\xE9", "\xB5" "A", "", ""}}},
        PacketCase{"UndeclaredEightBitTextReadAsLatin1",
                   Packet("<ROW No=\"1\" Time=\"a\"/><ROW No=\"2\" Time=\"b\"/><ROW No=\"3\" Function=\"Temp\xB0\" "
                          "Value=\"caf\xE9\"/>"),
                   {{1, "a", "", "", "", "", ""}, {2, "b", "", "", "", "", ""}, {3, "", "Temp\xB0", "caf\xE9", "", "", ""}}},
        PacketCase{"NoRowData", R"(<?xml version="1.0"?><DATAPACKET Version="2.0">)" + kFields + "</DATAPACKET>", {}},
        PacketCase{"LongTextsAreCut", Packet(R"(<ROW No="1" Time="123456789012345678901234567890"/>)"),
                   {{1, "12345678901234567890", "", "", "", "", ""}}},
        PacketCase{"CharactersBeyondLatin1BecomeQuestionMarks", Packet(R"(<ROW No="1" Unit="&#937;"/>)"),
                   {{1, "", "", "", "?", "", ""}}}),
    [](const ::testing::TestParamInfo<PacketCase>& info) { return std::string(info.param.title); });

struct RefusedCase {
    const char* title;
    QByteArray packet;
};

class RefusedPackets : public XmlLogFileTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedPackets, FailAndKeepThePreviousRows)
{
    Fill(table, ThreeReadings());
    const LoadResult result = LoadPacket(GetParam().packet);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Failed to Load File!");
    EXPECT_EQ(RowsOf(table), ThreeReadings());
    // The table still logs.
    table.append(LogRowInput{9, "t", "", "", "", "", ""});
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(table.currentRow(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    logfiles_XmlLog, RefusedPackets,
    ::testing::Values(
        RefusedCase{"EmptyFile", ""},
        RefusedCase{"NotXml", "No\tTime\r\n1\tx\r\n"},
        RefusedCase{"NotADataPacket", R"(<?xml version="1.0"?><TABLE/>)"},
        RefusedCase{"FieldListWithoutNo",
                    R"(<?xml version="1.0"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
                    R"(<FIELD attrname="Time" fieldtype="string" WIDTH="20"/></FIELDS><PARAMS/></METADATA>)"
                    R"(<ROWDATA><ROW Time="x"/></ROWDATA></DATAPACKET>)"},
        RefusedCase{"NoMetadata", R"(<?xml version="1.0"?><DATAPACKET Version="2.0"><ROWDATA/></DATAPACKET>)"},
        RefusedCase{"NoNotAWholeNumber", Packet(R"(<ROW No="1"/><ROW No="two"/>)")},
        RefusedCase{"NoOutOfRange", Packet(R"(<ROW No="4294967296"/>)")},
        RefusedCase{"BrokenAfterSomeRows", Packet(R"(<ROW No="1"/><ROW No="2")")},
        RefusedCase{"UnclosedRoot", Packet("").chopped(13)},
        RefusedCase{"GarbageAfterThePacket", Packet(R"(<ROW No="1"/>)") + "<more/>"},
        RefusedCase{"InvalidCharacterReference", Packet(R"(<ROW No="1" Time="&#1;"/>)")},
        RefusedCase{"UnknownEntity", Packet(R"(<ROW No="1" Time="&nbsp;"/>)")}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.title); });

TEST_F(logfiles_XmlLogFile, RefusedPacketIntoAnEmptyTableLeavesItEmptyAndUsable)
{
    EXPECT_FALSE(LoadPacket(Packet(R"(<ROW No="1"/><ROW No="x"/>)")).ok);
    EXPECT_EQ(table.size(), 0u);
    table.append(LogRowInput{1, "t", "", "", "", "", ""});
    EXPECT_EQ(table.size(), 1u);
}

TEST_F(logfiles_XmlLogFile, UndeclaredEightBitPacketIntoAnEmptyTableHoldsEachRowOnce)
{
    ASSERT_TRUE(LoadPacket(Packet("<ROW No=\"1\"/><ROW No=\"2\" Unit=\"\xB5" "A\"/>")).ok);
    EXPECT_EQ(RowsOf(table), (std::vector<Row>{{1, "", "", "", "", "", ""}, {2, "", "", "", "\xB5" "A", "", ""}}));
}

TEST_F(logfiles_XmlLogFile, DeclaredUtf8WithLatin1BytesStillLoads)
{
    // Qt's reader falls back to Latin-1 for bytes that are no UTF-8 once an encoding is named.
    ASSERT_TRUE(LoadPacket(Packet("<ROW No=\"1\" Unit=\"\xB5\"/>", R"(<?xml version="1.0" encoding="UTF-8"?>)")).ok);
    EXPECT_EQ(RowsOf(table), (std::vector<Row>{{1, "", "", "", "\xB5", "", ""}}));
}

TEST_F(logfiles_XmlLogFile, MissingFileFails)
{
    Fill(table, ThreeReadings());
    EXPECT_FALSE(LoadTableFromFile(path("missing.xml"), table).ok);
    EXPECT_EQ(RowsOf(table), ThreeReadings());
}

TEST_F(logfiles_XmlLogFile, UnwritablePacketIsReportedWithTheName)
{
    const QString name = path("no/folder/log.xml");
    const SaveResult result = SaveTableToFile(table, name);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Could not save table to specified file: " + name);
}

TEST_F(logfiles_XmlLogFile, WrittenPacketIsWellFormedForAPlainReader)
{
    Fill(table, {{1, "a", "<&>", "\"", "\xE9", "\x02", ""}});
    ASSERT_TRUE(SaveTableToFile(table, path("plain.xml")).ok);
    QFile file(path("plain.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int rows = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("ROW")) {
            ++rows;
            EXPECT_EQ(xml.attributes().value("Unit"), QString(QChar(0xE9)));
            EXPECT_EQ(xml.attributes().value("Function"), QLatin1String("<&>"));
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(rows, 1);
}

} // namespace
} // namespace varnex
