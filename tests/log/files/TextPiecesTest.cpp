// The small pieces of the text form: SplitFields, the No reading, file-name rules, lines.
#include "log/files/Latin1AsUtf8Device.h"
#include "log/files/LineReader.h"
#include "log/files/LogFileName.h"
#include "log/files/SplitFields.h"
#include "log/files/WholeNumber.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

using Pieces = std::vector<std::string>;

Pieces Split(std::string_view line, char sep)
{
    std::vector<std::string_view> views;
    SplitFields(line, sep, views);
    return Pieces(views.begin(), views.end());
}

TEST(logfiles_SplitFields, CutsAtEverySeparator)
{
    struct Case {
        std::string line;
        Pieces expected;
    };
    const Case cases[] = {
        {"", {""}},
        {"abc", {"abc"}},
        {"a\tb", {"a", "b"}},
        {"a\t", {"a", ""}},
        {"\ta", {"", "a"}},
        {"\t\t", {"", "", ""}},
        {"1\t14:05:09\tDCV\t1.2\tV\t\t", {"1", "14:05:09", "DCV", "1.2", "V", "", ""}},
        {" a \t b ", {" a ", " b "}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.line, '\t'), c.expected) << "line: " << c.line;
}

TEST(logfiles_SplitFields, ReusesTheListAndHonoursOtherSeparators)
{
    std::vector<std::string_view> pieces{"old", "old", "old", "old"};
    SplitFields("x;y", ';', pieces);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "x");
    EXPECT_EQ(pieces[1], "y");
}

TEST(logfiles_WholeNumber, AcceptsSignedDecimalsInThe32BitRange)
{
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"17", true, 17},
        {"+17", true, 17},
        {"-17", true, -17},
        {"007", true, 7},
        {" 42 ", true, 42},
        {"\t42", true, 42},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999999", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"1.0", false, 0},
        {"1e3", false, 0},
        {"0x10", false, 0},
        {"No", false, 0},
        {"1 2", false, 0},
        {"--1", false, 0},
    };
    for (const Case& c : cases) {
        std::int32_t value = 12345;
        EXPECT_EQ(ParseWholeNumber(c.text, value), c.ok) << "text: '" << c.text << "'";
        if (c.ok)
            EXPECT_EQ(value, c.value) << "text: '" << c.text << "'";
        else
            EXPECT_EQ(value, 12345) << "a refused text must leave the value alone: " << c.text;
    }
}

TEST(logfiles_LogFileName, ExtensionFormAndSaveName)
{
    struct Case {
        const char* name;
        const char* extension;
        LogFileForm form;
        const char* saveName;
    };
    const Case cases[] = {
        {"log.txt", ".txt", LogFileForm::Text, "log.txt"},
        {"log.xls", ".xls", LogFileForm::Text, "log.xls"},
        {"LOG.XLS", ".xls", LogFileForm::Text, "LOG.XLS"},
        {"log.xml", ".xml", LogFileForm::Xml, "log.xml"},
        {"LOG.XML", ".xml", LogFileForm::Xml, "LOG.XML"},
        {"log.Xml", ".xml", LogFileForm::Xml, "log.Xml"},
        {"log.csv", ".csv", LogFileForm::Text, "log.csv.xls"},
        {"log", "", LogFileForm::Text, "log.xls"},
        {"log.", ".", LogFileForm::Text, "log..xls"},
        {"/data/run.v2/log", "", LogFileForm::Text, "/data/run.v2/log.xls"},
        {"/data/run.v2/log.xml", ".xml", LogFileForm::Xml, "/data/run.v2/log.xml"},
        {"archive.xml.bak", ".bak", LogFileForm::Text, "archive.xml.bak.xls"},
        {"log.xmlx", ".xmlx", LogFileForm::Text, "log.xmlx.xls"},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(LowerExtension(name), QString::fromUtf8(c.extension)) << c.name;
        EXPECT_EQ(FormForName(name), c.form) << c.name;
        EXPECT_EQ(SaveNameFor(name), QString::fromUtf8(c.saveName)) << c.name;
    }
}

TEST(logfiles_LogFileName, DialogFiltersInQtForm)
{
    EXPECT_EQ(kSaveDialogFilter, "Excel File(*.xls);;XML File(*.xml);;Txt File(*.txt)");
    EXPECT_EQ(kSaveDialogDefaultSuffix, "xls");
    EXPECT_EQ(kOpenDialogFilter,
              "Excel data files (*.xls);;XML data files (*.xml);;notepad data files (*.txt)");
}

Pieces Lines(const QByteArray& data, std::size_t chunk)
{
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer, chunk);
    Pieces lines;
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    EXPECT_FALSE(reader.failed());
    return lines;
}

TEST(logfiles_LineReader, EndsLinesAtCrLfLfOrCrWhateverTheChunkBorders)
{
    struct Case {
        QByteArray data;
        Pieces expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"\n", {""}},
        {"\r", {""}},
        {"head\r\n1\tx\r\n2\ty\r\n", {"head", "1\tx", "2\ty"}},
        {QByteArray("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
    };
    for (const Case& c : cases)
        for (std::size_t chunk : {1u, 2u, 3u, 5u, 1024u})
            EXPECT_EQ(Lines(c.data, chunk), c.expected)
                << "data: " << c.data.toStdString() << " chunk " << chunk;
}

TEST(logfiles_LineReader, LongLinesGrowTheBuffer)
{
    const std::string longLine(5000, 'x');
    const QByteArray data = QByteArray::fromStdString(longLine + "\r\nshort");
    EXPECT_EQ(Lines(data, 64), (Pieces{longLine, "short"}));
}

TEST(logfiles_Latin1AsUtf8, ExpandsHighBytesWhateverTheReadSize)
{
    const QByteArray latin1("a\xE9\xB5z\xFF", 5);
    const QByteArray utf8 = QString::fromLatin1(latin1).toUtf8();
    for (qint64 readSize : {1, 2, 3, 64}) {
        QByteArray source = latin1;
        QBuffer buffer(&source);
        buffer.open(QIODevice::ReadOnly);
        Latin1AsUtf8Device device(buffer);
        QByteArray out;
        while (true) {
            const QByteArray part = device.read(readSize);
            if (part.isEmpty())
                break;
            out += part;
        }
        EXPECT_EQ(out, utf8) << "read size " << readSize;
    }
}

TEST(logfiles_Latin1AsUtf8, TellsInvalidUtf8)
{
    struct Case {
        QByteArray bytes;
        bool invalid;
    };
    for (const Case& c : {Case{"plain ascii", false}, Case{"caf\xC3\xA9", false}, Case{"caf\xE9", true},
                          Case{"\xB5" "A", true}}) {
        QByteArray bytes = c.bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(HoldsInvalidUtf8(buffer), c.invalid) << c.bytes.toStdString();
    }
}

} // namespace
} // namespace varnex
