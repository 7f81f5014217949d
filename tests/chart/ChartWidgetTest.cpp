// The chart widget: its series over one store, the scroll guard, the cached static
// layer and what lands on screen.
#include "chart/ChartWidget.h"
#include "chart/TChartControl.h"

#include <QImage>

#include <gtest/gtest.h>

namespace varnex {
namespace {

QColor PixelAt(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

TEST(ChartWidgetTest, HasTheAreaAndLineSeriesInIndexOrder)
{
    ChartWidget chart;
    EXPECT_EQ(chart.objectName(), "Chtshow");
    EXPECT_EQ(chart.size(), QSize(417, 228));
    ASSERT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series(ChartWidget::kAreaSeries).Name(), "Series2");
    EXPECT_EQ(chart.Series(ChartWidget::kLineSeries).Name(), "Series1");
    EXPECT_FALSE(chart.LeftAxis().Automatic());
    EXPECT_EQ(chart.LeftAxis().Minimum(), -21000.0);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 21000.0);
}

TEST(ChartWidgetTest, PagerPointsAreStoredOnceAndCountedPerSeries)
{
    ChartWidget chart;
    TChartControl pager(chart, 100);
    for (int i = 0; i < 250; ++i)
        pager.AddPoint(i * 10.0);
    EXPECT_EQ(chart.Series(0).Count(), 251);
    EXPECT_EQ(chart.Series(1).Count(), 251);
    EXPECT_EQ(chart.Points().Size(), 251);
    EXPECT_EQ(chart.Series(1).Value(250), 2490.0);
    EXPECT_EQ(chart.BottomAxis().Minimum(), 201.0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 300.0);
    EXPECT_EQ(pager.CurrentPage(), 3);

    pager.ClearPoints();
    EXPECT_EQ(chart.Series(0).Count(), 1);
    EXPECT_EQ(chart.Series(1).Count(), 1);
    EXPECT_EQ(chart.Points().Size(), 1);
    EXPECT_EQ(chart.BottomAxis().Minimum(), 1.0);
}

TEST(ChartWidgetTest, GuardedScrollFollowsTheShownSeries)
{
    ChartWidget chart;
    TChartControl pager(chart, 100);
    for (int i = 0; i < 150; ++i)
        pager.AddPoint(1.0);
    pager.FirstPage();
    EXPECT_TRUE(chart.ScrollBottomAxis(100));   // X 150 lies right of 100
    EXPECT_FALSE(chart.ScrollBottomAxis(100));  // nothing right of 200
    EXPECT_EQ(chart.BottomAxis().Minimum(), 101.0);
    pager.SetFill(false);
    EXPECT_FALSE(chart.Series(0).Active());
    EXPECT_TRUE(chart.ScrollBottomAxis(-100)); // the line series is still shown
    chart.Series(1).SetActive(false);
    EXPECT_FALSE(chart.ScrollBottomAxis(100)); // no series shown: nothing moves
    EXPECT_EQ(chart.BottomAxis().Minimum(), 1.0);
}

TEST(ChartWidgetTest, StaticLayerIsRebuiltOnlyOnAxisChangeOrResize)
{
    ChartWidget chart;
    TChartControl pager(chart, 100);
    chart.RenderImage();
    const int builds = chart.Painter().StaticBuilds();
    for (int i = 0; i < 50; ++i)
        pager.AddPoint(i);
    chart.RenderImage();
    EXPECT_EQ(chart.Painter().StaticBuilds(), builds);
    for (int i = 0; i < 60; ++i)
        pager.AddPoint(i); // moves to page 2: new bottom labels
    chart.RenderImage();
    EXPECT_EQ(chart.Painter().StaticBuilds(), builds + 1);
    pager.SetLeftMaximum(600);
    pager.SetLeftMinimum(-600);
    chart.RenderImage();
    EXPECT_EQ(chart.Painter().StaticBuilds(), builds + 2);
    chart.resize(500, 300);
    EXPECT_EQ(chart.RenderImage().size(), QSize(500, 300));
    EXPECT_EQ(chart.Painter().StaticBuilds(), builds + 3);
}

TEST(ChartWidgetTest, DrawsWallsAndTheFillUnderTheCurve)
{
    ChartWidget chart;
    TChartControl pager(chart, 100);
    pager.SetLeftMaximum(22000);
    pager.SetLeftMinimum(-22000);
    for (int i = 0; i < 100; ++i)
        pager.AddPoint(11000.0); // three quarters up the plot
    QImage image = chart.RenderImage();
    ASSERT_EQ(image.size(), QSize(417, 228));
    const QRect plot = chart.Painter().PlotRect();
    ASSERT_TRUE(plot.isValid());
    const int midX = plot.center().x() + 3;
    const int belowCurve = plot.top() + plot.height() * 3 / 4; // value about -11000
    const int aboveCurve = plot.top() + plot.height() / 10;    // value about +17600

    EXPECT_EQ(PixelAt(image, plot.left() - 6, plot.center().y() + 3), QColor(255, 255, 0)) << "left wall";
    EXPECT_EQ(PixelAt(image, midX, belowCurve), QColor(0, 0, 255)) << "area fill";
    EXPECT_EQ(PixelAt(image, midX, aboveCurve), QColor(Qt::white)) << "back wall";
    const QColor corner = PixelAt(image, 1, 1);
    EXPECT_LT(corner.red(), 230) << "gradient starts silver";
    EXPECT_EQ(corner.red(), corner.blue());
    const QColor bottom = PixelAt(image, 1, image.height() - 2);
    EXPECT_GT(bottom.red(), corner.red()) << "gradient ends white";

    bool lineFound = false;
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        lineFound = lineFound || PixelAt(image, midX, y) == QColor(128, 255, 0);
    EXPECT_TRUE(lineFound) << "line series";

    pager.SetFill(false);
    image = chart.RenderImage();
    EXPECT_NE(PixelAt(image, midX, belowCurve), QColor(0, 0, 255)) << "fill hidden";
}

TEST(ChartWidgetTest, PaintingOnScreenMatchesTheSavedPicture)
{
    ChartWidget chart;
    TChartControl pager(chart, 100);
    for (int i = 0; i < 130; ++i)
        pager.AddPoint((i % 13) * 1000.0);
    const QImage saved = chart.RenderImage();
    const QImage shown = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), saved.size());
    EXPECT_TRUE(shown == saved);
}

TEST(ChartWidgetTest, AutomaticAxesSpanAllPoints)
{
    ChartWidget chart; // no pager: the bottom axis stays automatic
    chart.LeftAxis().SetAutomatic(true);
    for (int i = 0; i < 50; ++i) {
        chart.Series(0).AddPoint(5000.0 + i, "", kChartBlue);
        chart.Series(1).AddPoint(5000.0 + i, "", kChartBlue);
    }
    const QImage image = chart.RenderImage();
    const QRect plot = chart.Painter().PlotRect();
    // The largest value sits at the top right corner and the smallest at the bottom
    // left, so nearly the whole plot under the diagonal is filled.
    EXPECT_EQ(QColor(image.pixel(plot.right() - 2, plot.top() + 6)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(image.pixel(plot.left() + 6, plot.bottom() - 2)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(image.pixel(plot.left() + 6, plot.top() + 6)), QColor(Qt::white));
}

TEST(ChartWidgetTest, DensePageDrawsTheEnvelopeOfAllItsPoints)
{
    ChartWidget chart;
    TChartControl pager(chart, 1000000);
    pager.SetLeftMaximum(100);
    pager.SetLeftMinimum(-100);
    for (int i = 0; i < 1000000; ++i)
        pager.AddPoint(i == 500000 ? 90.0 : 0.0); // one spike in a million
    const QImage image = chart.RenderImage();
    const QRect plot = chart.Painter().PlotRect();
    const int spikeY = plot.top() + plot.height() / 10 + 2; // value about 78
    bool spikeSeen = false;
    for (int x = plot.left(); x <= plot.right(); ++x)
        spikeSeen = spikeSeen || PixelAt(image, x, spikeY) == QColor(128, 255, 0);
    EXPECT_TRUE(spikeSeen);
}

} // namespace
} // namespace varnex
