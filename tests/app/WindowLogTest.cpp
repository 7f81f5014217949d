// The log as the user drives it through the window: rows in the grid, the page label,
// Close Data, the Record menu, the repeat filter and the interval field.
#include "WindowTestSupport.h"

#include "app/FunctionBoard.h"
#include "chart/TChartControl.h"
#include "log/MeasurementLog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolButton>

namespace varnex::testing {
namespace {

class app_WindowLog : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window().setDecimalSeparator(QStringLiteral("."));
    }

    // A reading whose value text differs for each n.
    void feedReading(int n) { feed(DcVolts(QStringLiteral("%1").arg(n % 1000000, 6, 10, QLatin1Char('0')).toStdString(), 0)); }

    FunctionBoard* board() { return child<FunctionBoard>("GroupBox1"); }

    // Opens the file the dialog answers, and waits for its rows: the file is read on a
    // worker thread.
    void openDataFilesAndWait()
    {
        QTest::mouseClick(board()->openDataFiles(), Qt::LeftButton);
        QElapsedTimer waited;
        waited.start();
        while (window().LogLoadRunning() && waited.elapsed() < 20000)
            QTest::qWait(5);
        ASSERT_FALSE(window().LogLoadRunning()) << "the load did not end";
    }

    QAction* recordItem(const QString& caption)
    {
        QMenu* menu = window().menuBar()->actions().at(0)->menu();
        for (QAction* a : menu->actions())
            if (a->text() == caption)
                return a;
        return nullptr;
    }

    std::vector<int> gridNumbers()
    {
        std::vector<int> out;
        for (int r = 0; r < gridRows(); ++r)
            out.push_back(gridCell(r, 0).toInt());
        return out;
    }
};

TEST_F(app_WindowLog, RowsAreNumberedAndTheGridFollowsTheLastOne)
{
    for (int i = 1; i <= 5; ++i) {
        feedReading(i);
        ASSERT_EQ(gridRows(), i);
        EXPECT_EQ(grid()->currentLogRow(), i - 1) << "the new row is the current row";
    }
    EXPECT_EQ(gridNumbers(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(gridCell(0, 1).isEmpty()) << "each row has its time of day";
    EXPECT_EQ(pageLabel(), QStringLiteral("1"));
    EXPECT_TRUE(window().HasUnsavedRows());
}

TEST_F(app_WindowLog, PageLabelFollowsTheChartPages)
{
    for (int i = 1; i <= 100; ++i)
        feedReading(i);
    EXPECT_EQ(pageLabel(), QStringLiteral("1"));
    feedReading(101);
    EXPECT_EQ(pageLabel(), QStringLiteral("2"));
    EXPECT_EQ(window().ChartPager().LoggedPoints(), 101);
    // Many rows later the grid still shows the last one, selected.
    QCoreApplication::processEvents();
    const int last = gridRows() - 1;
    EXPECT_EQ(grid()->currentLogRow(), last);
    EXPECT_LE(grid()->firstShownRow(), last);
    EXPECT_LT(last, grid()->firstShownRow() + grid()->visibleRows()) << "the newest row is scrolled into view";
    EXPECT_GT(grid()->firstShownRow(), 0);
    const QModelIndex selected = grid()->selectionModel()->currentIndex();
    ASSERT_TRUE(selected.isValid());
    EXPECT_EQ(grid()->model()->data(selected.siblingAtColumn(0)).toString(), QStringLiteral("101"))
        << "the view's selected row is the newest one";
}

TEST_F(app_WindowLog, CloseDataAsksAndClearsOnlyOnYes)
{
    for (int i = 1; i <= 120; ++i)
        feedReading(i);
    ASSERT_EQ(pageLabel(), QStringLiteral("2"));

    QToolButton* closeData = board()->recordNew();
    dialogs_.yesNoAnswers = {false};
    QTest::mouseClick(closeData, Qt::LeftButton);
    ASSERT_EQ(dialogs_.records.size(), 1u);
    EXPECT_EQ(dialogs_.records[0].kind, DialogKind::YesNo);
    EXPECT_EQ(dialogs_.records[0].text, QStringLiteral("Are you sure you want to clear all logged data?"));
    EXPECT_EQ(gridRows(), 120);
    EXPECT_EQ(pageLabel(), QStringLiteral("2"));
    EXPECT_EQ(window().Log().NextRecordNo(), 121);

    dialogs_.yesNoAnswers = {true};
    QTest::mouseClick(closeData, Qt::LeftButton);
    EXPECT_EQ(dialogs_.records.size(), 2u);
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(pageLabel(), QStringLiteral("1"));
    EXPECT_EQ(window().ChartPager().LoggedPoints(), 0);
    EXPECT_FALSE(window().HasUnsavedRows()) << "nothing left to lose";

    feedReading(500);
    ASSERT_EQ(gridRows(), 1);
    EXPECT_EQ(gridCell(0, 0), QStringLiteral("1")) << "numbering starts again";
}

TEST_F(app_WindowLog, RecordMenuItemChecksItselfAndLimitsTheLog)
{
    QAction* item1000 = recordItem(QStringLiteral("1000"));
    ASSERT_NE(item1000, nullptr);
    item1000->trigger();
    EXPECT_TRUE(item1000->isChecked());
    EXPECT_FALSE(recordItem(QStringLiteral("10000"))->isChecked());
    EXPECT_EQ(window().Log().RecordLimit(), 1000);

    for (int i = 1; i <= 1005; ++i)
        feedReading(i);
    EXPECT_EQ(gridRows(), 1000);
    EXPECT_EQ(gridCell(999, 0), QStringLiteral("1000"));
    EXPECT_TRUE(dialogs_.records.empty()) << "reaching the limit is not reported";

    QAction* limitless = recordItem(QStringLiteral("limitless"));
    limitless->trigger();
    EXPECT_TRUE(limitless->isChecked());
    EXPECT_FALSE(item1000->isChecked());
    feedReading(2000);
    EXPECT_EQ(gridRows(), 1001);
}

TEST_F(app_WindowLog, RepeatFilterFromTheCheckBoxLeavesGapsInTheNumbers)
{
    QCheckBox* repeat = board()->repeatSet();
    ASSERT_TRUE(repeat->isChecked());
    repeat->click();
    ASSERT_FALSE(repeat->isChecked());

    // A, A, A, B: two rows, numbered 1 and 4.
    feedReading(7);
    feedReading(7);
    feedReading(7);
    feedReading(8);
    EXPECT_EQ(gridNumbers(), (std::vector<int>{1, 4}));

    repeat->click();
    feedReading(8);
    feedReading(8);
    EXPECT_EQ(gridNumbers(), (std::vector<int>{1, 4, 5, 6})) << "checked: every reading is a row";
}

TEST_F(app_WindowLog, IntervalFieldTakesDigitsOnly)
{
    QLineEdit* field = board()->recordSITime();
    ASSERT_EQ(field->text(), QStringLiteral("1"));
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, QStringLiteral("abc-.x"));
    EXPECT_EQ(field->text(), QStringLiteral("1"));
    EXPECT_EQ(window().Log().Sampling().RecordSITime, "1");

    QTest::keyClicks(field, QStringLiteral("5"));
    EXPECT_EQ(field->text(), QStringLiteral("15"));
    EXPECT_EQ(window().Log().Sampling().IntervalSetting(), 15) << "the field's value reaches the schedule";
}

TEST_F(app_WindowLog, SamplingIntervalCheckBoxReachesTheSchedule)
{
    QCheckBox* interval = board()->recordSI();
    ASSERT_FALSE(interval->isChecked());
    interval->click();
    EXPECT_TRUE(window().Log().Sampling().RecordSI);

    // The first reading is logged and starts the countdown; the next is held back.
    feedReading(1);
    feedReading(2);
    EXPECT_EQ(gridRows(), 1);
}

TEST_F(app_WindowLog, OpenedLogFileComesBackIntoTheGrid)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int i = 1; i <= 3; ++i)
        feedReading(i);
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    dialogs_.saveLogNames = {path};
    QTest::mouseClick(board()->saveAs(), Qt::LeftButton);
    dialogs_.yesNoAnswers = {true};
    QTest::mouseClick(board()->recordNew(), Qt::LeftButton);
    ASSERT_EQ(gridRows(), 0);

    dialogs_.openLogNames = {path};
    openDataFilesAndWait();
    ASSERT_EQ(gridRows(), 3);
    EXPECT_EQ(gridCell(2, 0), QStringLiteral("3"));
    EXPECT_EQ(gridCell(2, 3), QStringLiteral("0.00003"));
    EXPECT_EQ(window().Log().NextRecordNo(), 1) << "loaded rows change neither counter";
    EXPECT_EQ(window().Log().LoggedCount(), 0);

    feedReading(9);
    ASSERT_EQ(gridRows(), 4);
    EXPECT_EQ(gridCell(3, 0), QStringLiteral("1")) << "logging goes on with its own numbers";
}

TEST_F(app_WindowLog, OpeningAnXmlLogAsksBeforeItReplacesUnsavedRows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    feedReading(1);
    const QString xml = dir.filePath(QStringLiteral("one.xml"));
    dialogs_.saveLogNames = {xml};
    QTest::mouseClick(board()->saveAs(), Qt::LeftButton);
    feedReading(2);
    feedReading(3);
    ASSERT_EQ(gridRows(), 3);

    // Cancel: nothing is loaded, the unsaved rows stay.
    dialogs_.openLogNames = {xml};
    dialogs_.unsavedAnswers = {UnsavedChoice::Cancel};
    openDataFilesAndWait();
    ASSERT_EQ(dialogs_.unsavedReasons.size(), 1u);
    EXPECT_EQ(dialogs_.unsavedReasons.back(), UnsavedReason::OpeningXmlLog);
    EXPECT_EQ(dialogs_.records.back().unsavedRows, 2);
    EXPECT_EQ(gridRows(), 3);

    // Save: the rows go to a file first, then the packet replaces them.
    const QString kept = dir.filePath(QStringLiteral("kept.txt"));
    dialogs_.openLogNames = {xml};
    dialogs_.unsavedAnswers = {UnsavedChoice::Save};
    dialogs_.saveLogNames = {kept};
    openDataFilesAndWait();
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_EQ(gridRows(), 1);

    // A text log only appends: nothing to ask.
    const std::size_t asked = dialogs_.unsavedReasons.size();
    dialogs_.openLogNames = {kept};
    openDataFilesAndWait();
    EXPECT_EQ(dialogs_.unsavedReasons.size(), asked);
    EXPECT_EQ(gridRows(), 4);
}

} // namespace
} // namespace varnex::testing
