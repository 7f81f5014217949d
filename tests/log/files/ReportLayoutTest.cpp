// The printed report, rendered to PDF and read back with pdftotext.
#include "LogFilesTestSupport.h"

#include "ReportPdfChecks.h"

#include "log/files/ReportLayout.h"

#include <QPdfWriter>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using testing::Fill;
using testing::Row;

TEST(logfiles_ReportPaging, ThirtySixLinesAPage)
{
    EXPECT_EQ(ReportLayout::detailLinesPerPage(), 36);
    struct Case {
        std::size_t rows;
        int pages;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{36, 1}, Case{37, 2}, Case{72, 2}, Case{73, 3},
                          Case{10000, 278}})
        EXPECT_EQ(ReportLayout::pageCount(c.rows), c.pages) << c.rows << " rows";
}

TEST(logfiles_ReportPaging, OhmPlaceholderPrintsAsOhmSign)
{
    EXPECT_EQ(ReportLayout::unitForPrint("K*"), QString::fromUtf8("K\u03A9"));
    EXPECT_EQ(ReportLayout::unitForPrint("*"), QString::fromUtf8("\u03A9"));
    EXPECT_EQ(ReportLayout::unitForPrint("KHz"), QStringLiteral("KHz"));
}

class ReportPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.valid());
        const QString missing = testing::ReportPdfProbe::missingTool();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString() << " (poppler-utils) is not installed";
    }

    // Renders the first snapshot rows; returns render's answer.
    bool Render(std::size_t snapshot)
    {
        QPdfWriter writer(pdf());
        return ReportLayout().render(writer, table, snapshot);
    }

    QString pdf() const { return dir.path(QStringLiteral("report.pdf")); }

    static QString Run(const QString& program, const QStringList& args)
    {
        QProcess process;
        process.start(program, args);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    int Pages() const
    {
        const QString info = Run(QStringLiteral("pdfinfo"), {pdf()});
        const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    QString PageText(int page) const
    {
        return Run(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                    QString::number(page), pdf(), QStringLiteral("-")});
    }

    static void ExpectFrame(const QString& text)
    {
        EXPECT_TRUE(text.contains(QStringLiteral("Varnex Data"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("The Data Print Foot"))) << text.toStdString();
        for (const char* caption : {"No", "Time", "Function", "Value", "Unit", "Value2", "Unit2"})
            EXPECT_TRUE(text.contains(QLatin1String(caption))) << caption;
        // Title above captions above footer.
        EXPECT_LT(text.indexOf(QStringLiteral("Varnex Data")), text.indexOf(QStringLiteral("Function")));
        EXPECT_LT(text.indexOf(QStringLiteral("Function")), text.indexOf(QStringLiteral("The Data Print Foot")));
    }

    static int DetailLines(const QString& text)
    {
        return static_cast<int>(text.count(QRegularExpression(QStringLiteral("Row\\d+"))));
    }

    void FillNumbered(int count)
    {
        for (int i = 1; i <= count; ++i) {
            const std::string function = "Row" + std::to_string(i);
            table.append(LogRowInput{i, "10:00:00", function, "1.000", "V", "", ""});
        }
    }

    testing::ScratchDir dir;
    LogStore table;
};

// ctest names of this file start with logfiles_.
using logfiles_ReportPdf = ReportPdfTest;

TEST_F(logfiles_ReportPdf, OneRowOnePageWithTitleCaptionsRowAndFooter)
{
    Fill(table, {{1, "14:05:09", "DCV", "1.2345", "K*", "50.00", "KHz"}});
    ASSERT_TRUE(Render(table.size()));
    ASSERT_EQ(Pages(), 1);
    const QString text = PageText(1);
    ExpectFrame(text);
    const QString rowLine = text.split('\n').filter(QStringLiteral("14:05:09")).value(0);
    const QRegularExpression row(QStringLiteral("^\\s*1\\s+14:05:09\\s+DCV\\s+1\\.2345\\s+K\u03A9\\s+50\\.00\\s+KHz\\s*$"));
    EXPECT_TRUE(row.match(rowLine).hasMatch()) << rowLine.toStdString();
    const int rowAt = text.indexOf(QStringLiteral("14:05:09"));
    EXPECT_LT(text.indexOf(QStringLiteral("Value2")), rowAt);
    EXPECT_LT(rowAt, text.indexOf(QStringLiteral("The Data Print Foot")));
}

// The report under the window's own bold application font: it must not inherit it.
TEST_F(logfiles_ReportPdf, EveryTextInItsPlaceFaceAndSizeUnderABoldApplicationFont)
{
    const QFont before = QGuiApplication::font();
    QFont bold(QStringLiteral("Liberation Sans"));
    bold.setPixelSize(11);
    bold.setBold(true);
    QGuiApplication::setFont(bold);
    for (int i = 1; i <= 37; ++i) {
        const std::string no = std::to_string(i);
        table.append(LogRowInput{i, "14:05:" + no, "DCV", "1." + no, i % 2 ? "K*" : "mV", i % 3 ? "" : "50.00",
                                 i % 3 ? "" : "KHz"});
    }
    ASSERT_TRUE(Render(table.size()));
    QGuiApplication::setFont(before);

    const testing::ReportPdfProbe probe(pdf());
    std::vector<std::vector<testing::PrintedField>> printed;
    for (int i = 1; i <= 37; ++i) {
        const QString no = QString::number(i);
        printed.push_back(testing::PrintedRow(i, "14:05:" + no, "DCV", "1." + no, i % 2 ? "K" : "mV",
                                              i % 3 ? "" : "50.00", i % 3 ? "" : "KHz"));
    }
    for (int page : {1, 2})
        testing::ExpectPageFrame(probe, page);
    for (int i = 0; i < 37; ++i)
        testing::ExpectRowLine(probe, i < 36 ? 1 : 2, i % 36, printed[std::size_t(i)]);
    testing::ExpectReportFonts(probe, printed);
}

TEST_F(logfiles_ReportPdf, ThirtySevenRowsTwoPages)
{
    FillNumbered(37);
    ASSERT_TRUE(Render(table.size()));
    ASSERT_EQ(Pages(), 2);
    const QString first = PageText(1);
    const QString second = PageText(2);
    ExpectFrame(first);
    ExpectFrame(second);
    EXPECT_EQ(DetailLines(first), 36);
    EXPECT_EQ(DetailLines(second), 1);
    EXPECT_TRUE(first.contains(QStringLiteral("Row36")));
    EXPECT_TRUE(second.contains(QStringLiteral("Row37")));
}

TEST_F(logfiles_ReportPdf, EmptyTableNoPage)
{
    EXPECT_FALSE(Render(0));
    EXPECT_LE(Pages(), 0); // no document at all
}

TEST_F(logfiles_ReportPdf, OnlyTheRowsOfTheSnapshotArePrinted)
{
    FillNumbered(37);
    const std::size_t snapshot = table.size();
    FillNumbered(5); // logged while the report is being built
    ASSERT_TRUE(Render(snapshot));
    ASSERT_EQ(Pages(), 2);
    EXPECT_EQ(DetailLines(PageText(1)) + DetailLines(PageText(2)), 37);
}

TEST_F(logfiles_ReportPdf, SnapshotLargerThanTheTableIsCut)
{
    FillNumbered(2);
    ASSERT_TRUE(Render(100));
    ASSERT_EQ(Pages(), 1);
    EXPECT_EQ(DetailLines(PageText(1)), 2);
}

} // namespace
} // namespace varnex
