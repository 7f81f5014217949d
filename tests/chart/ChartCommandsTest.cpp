// The tool bar and its handlers: controls, paging and the label, the page-size
// entry through Timer2, the picture save and enlarge/restore.
#include "chart/ChartCommands.h"
#include "chart/ChartToolBar.h"
#include "chart/ChartWidget.h"
#include "chart/DigitKeyFilter.h"
#include "chart/TChartControl.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(ChartToolBarTest, ControlsSitWhereTheWindowExpectsThem)
{
    ChartToolBar bar;
    EXPECT_EQ(bar.objectName(), "Panel19");
    EXPECT_EQ(bar.size(), QSize(417, 33));
    const struct {
        const char* name;
        int left;
        int width; // 0: not fixed
        const char* hint;
        bool visible;
    } controls[] = {
        {"BtFill", 45, 0, "Graphic Fill", true},     {"Maxrecord", 112, 49, "", true},
        {"BtSave", 165, 0, "Save", true},            {"BtFirst", 200, 0, "First", true},
        {"BTPrevious", 227, 0, "Previous", true},    {"Bt10", 251, 0, "Page No.", true},
        {"BtNext", 275, 0, "Next", true},            {"BTlast", 299, 0, "last", true},
        {"TbFd", 336, 25, "Graphic Enlarge", true},  {"TbSx", 336, 25, "Graphic Restore", false},
    };
    for (const auto& c : controls) {
        auto* w = bar.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->x(), c.left) << c.name;
        if (c.width) {
            EXPECT_EQ(w->width(), c.width) << c.name;
        }
        EXPECT_GE(w->y(), 0) << c.name;
        EXPECT_LE(w->y() + w->height(), 33) << c.name;
        EXPECT_EQ(w->toolTip().toStdString(), c.hint) << c.name;
        EXPECT_EQ(w->isVisibleTo(&bar), c.visible) << c.name;
    }
    EXPECT_EQ(bar.TbFd()->height(), 25);
    EXPECT_TRUE(bar.BtFill()->isChecked());
    EXPECT_EQ(bar.BtFill()->text(), "Fill");
    EXPECT_EQ(bar.Maxrecord()->text(), "100");
    EXPECT_EQ(bar.Bt10()->text(), "1");
    EXPECT_FALSE(bar.BtSave()->icon().isNull());
    EXPECT_FALSE(bar.TbSx()->icon().isNull());
    // Neighbouring controls do not overlap.
    EXPECT_LE(bar.BtFill()->geometry().right(), 111);
    EXPECT_LE(bar.BTlast()->geometry().right(), 335);
}

TEST(DigitKeyFilterTest, TypesOnlyDigitsAndBackspace)
{
    const struct {
        const char* text;
        int key;
        bool kept;
    } keys[] = {
        {"0", Qt::Key_0, true}, {"9", Qt::Key_9, true},  {"\b", Qt::Key_Backspace, true},
        {"a", Qt::Key_A, false}, {"-", Qt::Key_Minus, false}, {" ", Qt::Key_Space, false},
        {".", Qt::Key_Period, false}, {"", Qt::Key_Left, true}, {"", Qt::Key_Delete, true},
        {"\t", Qt::Key_Tab, true},   {"\r", Qt::Key_Return, true},
    };
    for (const auto& k : keys)
        EXPECT_EQ(DigitKeyFilter::Keeps(QString::fromLatin1(k.text), k.key), k.kept) << k.key;

    ChartToolBar bar;
    QLineEdit* edit = bar.Maxrecord();
    edit->clear();
    QTest::keyClicks(edit, "1a2 -3.x");
    EXPECT_EQ(edit->text(), "123");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "12");
}

class ChartCommandsTest : public ::testing::Test {
protected:
    QWidget window;
    ChartWidget* chart = new ChartWidget(&window);
    ChartToolBar* bar = new ChartToolBar(&window);
    TChartControl pager{*chart, 100};
    ChartCommands commands{pager, *bar, *chart};
    QSignalSpy messages{&commands, &ChartCommands::messageRequested};

    void SetUp() override
    {
        window.resize(857, 667);
        chart->setGeometry(432, 432, 417, 228);
        bar->setGeometry(432, 400, 417, 33);
        commands.PageSizeTimer().setInterval(40); // 2000 ms in the window
    }
    void Add(int n)
    {
        for (int i = 0; i < n; ++i)
            pager.AddPoint(i % 7);
        commands.UpdatePageLabel();
    }
    QString Label() const { return bar->Bt10()->text(); }
    // Replaces the field's text the way typing does: one change per keystroke.
    void Type(const char* text)
    {
        bar->Maxrecord()->clear();
        QTest::keyClicks(bar->Maxrecord(), text);
    }
    void WaitForTimer() { QTest::qWait(commands.PageSizeTimer().interval() * 4); }
};

TEST_F(ChartCommandsTest, PageButtonsMoveThePagerAndTheLabel)
{
    Add(250);
    EXPECT_EQ(Label(), "3");
    const struct {
        QToolButton* button;
        const char* label;
        bool browsing;
    } clicks[] = {
        {bar->BtFirst(), "1", true}, {bar->BtNext(), "2", true},     {bar->BTlast(), "3", false},
        {bar->BTPrevious(), "2", true}, {bar->BtNext(), "3", false}, {bar->BtNext(), "3", false},
    };
    for (const auto& c : clicks) {
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(Label(), c.label) << c.button->objectName().toStdString();
        EXPECT_EQ(pager.Browsing(), c.browsing) << c.button->objectName().toStdString();
    }
}

TEST_F(ChartCommandsTest, LongPageNumbersShrinkToFitTheLabel)
{
    pager.SetPageSize(1);
    Add(12345);
    EXPECT_EQ(Label(), "12345");
    const QFontMetrics metrics(bar->Bt10()->font());
    EXPECT_LE(metrics.horizontalAdvance(Label()), bar->Bt10()->width());
    QTest::mouseClick(bar->BtFirst(), Qt::LeftButton);
    EXPECT_EQ(Label(), "1");
    EXPECT_GT(bar->Bt10()->font().pixelSize(), QFontMetrics(bar->Bt10()->font()).height() / 2);
}

TEST_F(ChartCommandsTest, FillCheckBoxShowsAndHidesTheArea)
{
    QTest::mouseClick(bar->BtFill(), Qt::LeftButton);
    EXPECT_FALSE(bar->BtFill()->isChecked());
    EXPECT_FALSE(chart->Series(0).Active());
    EXPECT_TRUE(chart->Series(1).Active());
    QTest::mouseClick(bar->BtFill(), Qt::LeftButton);
    EXPECT_TRUE(chart->Series(0).Active());
    bar->BtFill()->setChecked(false); // set by the program: the chart follows too
    EXPECT_FALSE(pager.FillVisible());
}

TEST_F(ChartCommandsTest, TimerDelayDefaultsToTwoSecondsAndRestartsOnEachEdit)
{
    ChartCommands fresh(pager, *bar, *chart);
    EXPECT_EQ(fresh.PageSizeTimer().interval(), 2000);
    EXPECT_EQ(fresh.PageSizeTimer().objectName(), "Timer2");
    EXPECT_FALSE(fresh.PageSizeTimer().isActive());
    bar->Maxrecord()->setText("5");
    EXPECT_TRUE(fresh.PageSizeTimer().isActive());
    fresh.PageSizeTimer().stop();
}

TEST_F(ChartCommandsTest, TwoQuickKeystrokesApplyOnePageSize)
{
    Add(120);
    QSignalSpy ticks(&commands.PageSizeTimer(), &QTimer::timeout);
    Type("50");
    EXPECT_EQ(pager.PageSize(), 100) << "nothing before the delay";
    EXPECT_TRUE(commands.PageSizeTimer().isActive());
    WaitForTimer();
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_FALSE(commands.PageSizeTimer().isActive());
    EXPECT_EQ(pager.PageSize(), 50);
    EXPECT_EQ(pager.CurrentPage(), 3);
    EXPECT_EQ(Label(), "3");
    EXPECT_FALSE(pager.Browsing());
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(ChartCommandsTest, EmptyFieldIsRefusedWithTheIntegerMessage)
{
    Add(120);
    bar->Maxrecord()->selectAll();
    QTest::keyClick(bar->Maxrecord(), Qt::Key_Backspace);
    ASSERT_EQ(bar->Maxrecord()->text(), "");
    WaitForTimer();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.at(0).at(0).toString(), "'' is not a valid integer value");
    EXPECT_EQ(pager.PageSize(), 100);
    EXPECT_FALSE(commands.PageSizeTimer().isActive());
}

TEST_F(ChartCommandsTest, ZeroIsRefusedKeepingTheLastGoodSize)
{
    Add(120);
    Type("0");
    WaitForTimer();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.at(0).at(0).toString(), "'0' is not a valid page size");
    EXPECT_EQ(pager.PageSize(), 100);
    EXPECT_EQ(Label(), "2");
    EXPECT_FALSE(commands.PageSizeTimer().isActive());
}

TEST_F(ChartCommandsTest, TooLargeNumberIsRefused)
{
    Type("99999999999");
    WaitForTimer();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.at(0).at(0).toString(), "'99999999999' is not a valid integer value");
    EXPECT_EQ(pager.PageSize(), 100);
}

TEST_F(ChartCommandsTest, SamePageSizeLeavesABrowsedPageAlone)
{
    Add(250);
    QTest::mouseClick(bar->BtFirst(), Qt::LeftButton);
    Type("100");
    WaitForTimer();
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_TRUE(pager.Browsing());
    EXPECT_EQ(Label(), "1");
}

TEST_F(ChartCommandsTest, SavesARealBitmapAtTheChartsSize)
{
    Add(80);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(commands.SaveChartAs(dir.filePath("picture")));
    const QString written = dir.filePath("picture.bmp");
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    file.close();
    QImage image(written, "BMP");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(417, 228));
    const QRect plot = chart->Painter().PlotRect();
    EXPECT_EQ(QColor(image.pixel(plot.left() - 6, plot.center().y() + 3)), QColor(255, 255, 0));
    EXPECT_EQ(messages.count(), 0);

    ASSERT_TRUE(commands.SaveChartAs(dir.filePath("Upper.Bmp")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Upper.Bmp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("Upper.Bmp.bmp")));
    ASSERT_TRUE(commands.SaveChartAs(dir.filePath("other.png")));
    EXPECT_TRUE(QFile::exists(dir.filePath("other.png.bmp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("other.png")));
}

TEST_F(ChartCommandsTest, UnwritablePathGivesTheCannotCreateMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notADirectory = dir.filePath("plain");
    {
        QFile f(notADirectory);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString target = notADirectory + "/chart";
    EXPECT_FALSE(commands.SaveChartAs(target));
    ASSERT_EQ(messages.count(), 1);
    const QString message = messages.at(0).at(0).toString();
    const QString prefix = QString("Cannot create file \"%1.bmp\". ").arg(target);
    EXPECT_TRUE(message.startsWith(prefix)) << message.toStdString();
    EXPECT_GT(message.size(), prefix.size()) << "the system's reason follows";
    EXPECT_FALSE(QFile::exists(target + ".bmp"));
}

TEST_F(ChartCommandsTest, EnlargeThenRestorePutsEverythingBack)
{
    QSignalSpy requests(&commands, &ChartCommands::enlargeRestoreRequested);
    QSignalSpy panels(&commands, &ChartCommands::panelsVisibilityChanged);
    QTest::mouseClick(bar->TbFd(), Qt::LeftButton);
    EXPECT_EQ(requests.count(), 1);

    const QSize outer(865, 696);
    commands.ToggleEnlarge(outer);
    EXPECT_TRUE(commands.Enlarged());
    EXPECT_EQ(chart->geometry(), QRect(2, 17, 853, 636));
    EXPECT_EQ(bar->geometry(), QRect(2, 10, 417, 33));
    EXPECT_FALSE(bar->TbFd()->isVisibleTo(bar));
    EXPECT_TRUE(bar->TbSx()->isVisibleTo(bar));
    ASSERT_EQ(panels.count(), 1);
    EXPECT_FALSE(panels.at(0).at(0).toBool());

    Add(250); // paging works the same while enlarged
    QTest::mouseClick(bar->BTPrevious(), Qt::LeftButton);
    EXPECT_EQ(Label(), "2");
    EXPECT_EQ(chart->RenderImage().size(), QSize(853, 636));

    QTest::mouseClick(bar->TbSx(), Qt::LeftButton);
    EXPECT_EQ(requests.count(), 2);
    commands.ToggleEnlarge(outer);
    EXPECT_FALSE(commands.Enlarged());
    EXPECT_EQ(chart->geometry(), QRect(432, 432, 417, 228));
    EXPECT_EQ(bar->geometry(), QRect(432, 400, 417, 33));
    EXPECT_TRUE(bar->TbFd()->isVisibleTo(bar));
    EXPECT_FALSE(bar->TbSx()->isVisibleTo(bar));
    ASSERT_EQ(panels.count(), 2);
    EXPECT_TRUE(panels.at(1).at(0).toBool());
    EXPECT_EQ(Label(), "2");
}

TEST_F(ChartCommandsTest, SaveButtonAsksTheWindowForAName)
{
    QSignalSpy requests(&commands, &ChartCommands::saveRequested);
    QTest::mouseClick(bar->BtSave(), Qt::LeftButton);
    EXPECT_EQ(requests.count(), 1);
}

} // namespace
} // namespace varnex
