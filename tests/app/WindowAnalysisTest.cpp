// The "Analysis" menu of the main window: its place and items, the trend window that
// covers rows logged before it opened, and "Close Data" emptying it.
#include "WindowTestSupport.h"

#include "app/trend/ReadingsCsvExport.h"
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendWindow.h"
#include "app/FunctionBoard.h"
#include "log/files/LogFileService.h"

#include <QElapsedTimer>
#include <QToolButton>

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace varnex::testing {
namespace {

class app_WindowAnalysis : public WindowFixture {
protected:
    void feedReading(int n) { feed(DcVolts(QStringLiteral("%1").arg(n % 1000000, 6, 10, QLatin1Char('0')).toStdString(), 0)); }
};

TEST_F(app_WindowAnalysis, AnalysisMenuSitsRightOfRecordAndHelp)
{
    const QList<QAction*> top = window().menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), QStringLiteral("Record"));
    EXPECT_EQ(top[1]->text(), QStringLiteral("Help"));
    EXPECT_EQ(top[2]->text(), QStringLiteral("Analysis"));
    ASSERT_NE(top[2]->menu(), nullptr);
    const QList<QAction*> items = top[2]->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Trend and statistics\u2026"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Export readings as CSV\u2026"));
}

TEST_F(app_WindowAnalysis, TrendWindowCoversRowsLoggedBeforeItOpenedAndFollowsCloseData)
{
    for (int i = 1; i <= 30; ++i)
        feedReading(i);
    EXPECT_EQ(window().Trend(), nullptr) << "nothing opens on its own";
    EXPECT_EQ(window().TrendData().series().size(), 30) << "fed from start-up";

    window().menuBar()->actions().at(2)->menu()->actions().at(0)->trigger();
    TrendWindow* trend = window().Trend();
    ASSERT_NE(trend, nullptr);
    EXPECT_TRUE(trend->isVisible());
    EXPECT_FALSE(trend->isModal());
    EXPECT_TRUE(trend->wholeStatisticsText().startsWith(QStringLiteral("DCV [V]: 30 readings")))
        << trend->wholeStatisticsText().toStdString();
    // The main window stays usable and keeps logging while it is open.
    feedReading(31);
    trend->refreshNow();
    EXPECT_TRUE(trend->wholeStatisticsText().startsWith(QStringLiteral("DCV [V]: 31 readings")));

    dialogs_.yesNoAnswers = {true};
    window().RecordNewClick(); // "Close Data"
    trend->refreshNow();
    EXPECT_EQ(window().TrendData().series().size(), 0);
    EXPECT_EQ(trend->wholeStatisticsText(), QStringLiteral("No readings"));

    // A second "Trend and statistics…" shows the same window again.
    trend->close();
    window().TrendClick();
    EXPECT_EQ(window().Trend(), trend);
    EXPECT_TRUE(trend->isVisible());
}

TEST_F(app_WindowAnalysis, LoadedRowsReachTheTrendAndAnXmlPacketReplacesThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LogStore file;
    for (int i = 0; i < 5; ++i)
        file.append(LogRowInput{i + 1, i < 3 ? "23:59:58" : "00:00:01", "DCV", "1.5", "V", "", ""});
    ASSERT_TRUE(SaveTableToFile(file, dir.filePath("night.txt")).ok);
    ASSERT_TRUE(SaveTableToFile(file, dir.filePath("night.xml")).ok);
    auto open = [&](const char* name) {
        dialogs_.openLogNames = {dir.filePath(name)};
        dialogs_.unsavedAnswers = {UnsavedChoice::Discard};
        QTest::mouseClick(child<FunctionBoard>("GroupBox1")->openDataFiles(), Qt::LeftButton);
        QElapsedTimer waited;
        waited.start();
        while ((window().LogLoadRunning() || window().TrendData().series().size() != std::int64_t(window().cds1().size())) &&
               waited.elapsed() < 20000)
            QTest::qWait(10);
    };
    feedReading(1);
    open("night.txt");
    ASSERT_EQ(window().cds1().size(), 6u);
    const TrendSeries& series = window().TrendData().series();
    ASSERT_EQ(series.size(), 6);
    EXPECT_TRUE(series.hasPlacedRows());
    EXPECT_EQ(window().TrendData().placedDayChanges(), 1) << "00:00:01 after 23:59:58 is the next day";

    open("night.xml"); // the packet replaces every row
    ASSERT_EQ(window().cds1().size(), 5u);
    EXPECT_EQ(series.size(), 5) << "the trend holds the packet's rows, not the old ones as well";
}

TEST_F(app_WindowAnalysis, ExportReadingsAsCsvWritesTheTableAndSaysSo)
{
    for (int i = 1; i <= 12; ++i)
        feedReading(i);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int asked = 0;
    window().setAskCsvName([&] {
        ++asked;
        return dir.filePath("night"); // no extension: .csv is added
    });
    QSignalSpy done(&window().CsvExport(), &ReadingsCsvExport::finished);
    window().menuBar()->actions().at(2)->menu()->actions().at(1)->trigger();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(done.wait(10000));
    QCoreApplication::processEvents();
    QFile file(dir.filePath("night.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.size(), 14); // header, 12 rows, nothing after the last CR LF
    EXPECT_TRUE(lines[0].startsWith("time_utc,no,function,value,unit,si_value,si_unit"));
    EXPECT_TRUE(lines[1].contains(",1,DCV,0.00001,V,1e-05,V,")) << lines[1].toStdString();
    EXPECT_EQ(dialogs_.count(DialogKind::Information), 1);
    EXPECT_TRUE(dialogs_.texts().last().contains(QStringLiteral("(12 rows)"))) << dialogs_.texts().last().toStdString();

    // Cancelled: nothing written, nothing said.
    window().setAskCsvName([] { return QString(); });
    window().ExportCsvClick();
    EXPECT_FALSE(window().CsvExport().running());
    EXPECT_EQ(dialogs_.count(DialogKind::Information), 1);
}

} // namespace
} // namespace varnex::testing
