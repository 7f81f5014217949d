// The chart's tool bar as wired into the window: enlarge and restore change the window's
// layout, and saving a picture goes through the window's file dialog.
#include "WindowTestSupport.h"

#include "chart/ChartWidget.h"
#include "chart/TChartControl.h"

#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

namespace varnex::testing {
namespace {

class app_WindowChart : public WindowFixture {
protected:
    ChartToolBar* toolBar() { return child<ChartToolBar>("Panel19"); }
    QWidget* chart() { return child("Chtshow"); }
    QRect inClient(QWidget* w) { return QRect(w->mapTo(client(), QPoint(0, 0)), w->size()); }
};

TEST_F(app_WindowChart, EnlargeHidesThePanelsAndRestorePutsTheLayoutBack)
{
    const char* panels[] = {"AA", "Panel1", "GroupBox1", "Keyboard"};
    QTest::mouseClick(toolBar()->TbFd(), Qt::LeftButton);
    for (const char* p : panels)
        EXPECT_FALSE(child(p)->isVisible()) << p;
    EXPECT_FALSE(toolBar()->TbFd()->isVisible());
    EXPECT_TRUE(toolBar()->TbSx()->isVisible());
    const QSize outer = window().frameGeometry().size();
    EXPECT_EQ(inClient(chart()), QRect(2, 17, outer.width() - 12, outer.height() - 60));
    EXPECT_EQ(inClient(toolBar()), QRect(2, 10, 417, 33));
    EXPECT_TRUE(child("DBGrid1")->isVisible()) << "the grid stays where it is, under the chart";

    // Logging goes on while enlarged.
    feed(DcVolts());
    EXPECT_EQ(gridRows(), 1);
    EXPECT_EQ(window().ChartPager().LoggedPoints(), 1);

    QTest::mouseClick(toolBar()->TbSx(), Qt::LeftButton);
    for (const char* p : panels)
        EXPECT_TRUE(child(p)->isVisible()) << p;
    EXPECT_TRUE(toolBar()->TbFd()->isVisible());
    EXPECT_FALSE(toolBar()->TbSx()->isVisible());
    EXPECT_EQ(inClient(chart()), QRect(432, 432, 417, 228));
    EXPECT_EQ(inClient(toolBar()), QRect(432, 400, 417, 33));
}

TEST_F(app_WindowChart, SaveAsksForANameAndWritesABitmap)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    feed(DcVolts());

    dialogs_.bitmapNames = {dir.filePath(QStringLiteral("chart"))};
    QTest::mouseClick(toolBar()->BtSave(), Qt::LeftButton);
    ASSERT_EQ(dialogs_.count(DialogKind::SaveBitmapName), 1);
    QFile bmp(dir.filePath(QStringLiteral("chart.bmp")));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly)) << "the name gets .bmp";
    EXPECT_EQ(bmp.read(2), QByteArray("BM"));
    EXPECT_EQ(dialogs_.count(DialogKind::Error), 0);

    // Cancelled: nothing written, nothing said.
    dialogs_.clear();
    QTest::mouseClick(toolBar()->BtSave(), Qt::LeftButton);
    EXPECT_EQ(dialogs_.records.size(), 1u);

    // A name that cannot be written is reported in an error box.
    dialogs_.clear();
    dialogs_.bitmapNames = {dir.filePath(QStringLiteral("missing/folder/chart.bmp"))};
    QTest::mouseClick(toolBar()->BtSave(), Qt::LeftButton);
    ASSERT_EQ(dialogs_.count(DialogKind::Error), 1);
    EXPECT_TRUE(dialogs_.texts().back().startsWith(QStringLiteral("Cannot create file \"")))
        << dialogs_.texts().back().toStdString();
}

TEST_F(app_WindowChart, PageLabelHoldsAPagedBackPageWhileRowsArrive)
{
    for (int i = 0; i < 150; ++i)
        feed(DcVolts(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')).toStdString(), 0));
    ASSERT_EQ(pageLabel(), QStringLiteral("2"));

    QTest::mouseClick(toolBar()->BtFirst(), Qt::LeftButton);
    EXPECT_EQ(pageLabel(), QStringLiteral("1"));
    for (int i = 0; i < 60; ++i)
        feed(DcVolts(QStringLiteral("%1").arg(500 + i, 6, 10, QLatin1Char('0')).toStdString(), 0));
    EXPECT_EQ(pageLabel(), QStringLiteral("1")) << "the user holds page 1";
    EXPECT_EQ(window().ChartPager().PageCount(), 3);

    QTest::mouseClick(toolBar()->BTlast(), Qt::LeftButton);
    EXPECT_EQ(pageLabel(), QStringLiteral("3"));
    for (int i = 0; i < 100; ++i)
        feed(DcVolts(QStringLiteral("%1").arg(700 + i, 6, 10, QLatin1Char('0')).toStdString(), 0));
    EXPECT_EQ(pageLabel(), QStringLiteral("4")) << "back on the last page, the view follows again";
}

} // namespace
} // namespace varnex::testing
