// Axis refusal, the scroll guard, axis ticks, the page-size entry, the bitmap name
// rule and the enlarge/restore geometry.
#include "chart/AxisTicks.h"
#include "chart/ChartAxis.h"
#include "chart/ChartBitmapName.h"
#include "chart/ChartLayout.h"
#include "chart/FakeChart.h"
#include "chart/PageSizeEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

TEST(ChartAxisTest, RefusesToInvert)
{
    ChartAxis axis(1, 100, false);
    EXPECT_FALSE(axis.SetMinimum(101));
    EXPECT_EQ(axis.Minimum(), 1.0);
    EXPECT_FALSE(axis.SetMaximum(0.5));
    EXPECT_EQ(axis.Maximum(), 100.0);
    EXPECT_TRUE(axis.SetMinimum(100)); // equal ends are allowed
    EXPECT_TRUE(axis.SetMaximum(100));
    EXPECT_EQ(axis.Minimum(), 100.0);
}

TEST(ChartAxisTest, ReportsOnlyEffectiveChanges)
{
    int changes = 0;
    ChartAxis axis(0, 10, true);
    axis.SetOnChange([&] { ++changes; });
    axis.SetMaximum(10);
    axis.SetMinimum(11); // refused
    axis.SetAutomatic(true);
    EXPECT_EQ(changes, 0);
    axis.SetAutomatic(false);
    axis.SetMaximum(20);
    axis.Shift(5);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(axis.Minimum(), 5.0);
    EXPECT_EQ(axis.Maximum(), 25.0);
}

TEST(GuardedScrollTest, MovesOnlyTowardsShownPoints)
{
    const struct {
        const char* name;
        int points0, points1;
        bool shown0, shown1;
        double minimum, maximum, d;
        bool moves;
    } cases[] = {
        // counts include the zero point at X 0: 102 points reach X 101
        {"forward, point beyond", 102, 102, true, true, 1, 100, 100, true},
        {"forward, last point on page", 101, 101, true, true, 1, 100, 100, false},
        {"zero offset", 102, 102, true, true, 1, 100, 0, false},
        {"back from page 2", 201, 201, true, true, 101, 200, -100, true},
        // the zero point at X 0 lies left of page 1: the guard alone lets this through,
        // the pager never asks for it
        {"back from page 1", 201, 201, true, true, 1, 100, -100, true},
        {"back from a window starting at 0", 201, 201, true, true, 0, 99, -100, false},
        {"beyond only on hidden series", 302, 101, false, true, 101, 200, 100, false},
        {"beyond on shown line only", 302, 302, false, true, 101, 200, 100, true},
        {"nothing shown", 301, 301, false, false, 101, 200, 100, false},
        {"no points", 0, 0, true, true, 1, 100, 100, false},
        {"back with no points", 0, 0, true, true, 101, 200, -100, false},
    };
    for (const auto& c : cases) {
        FakeChart chart;
        for (int i = 0; i < c.points0; ++i)
            chart.Series(0).AddPoint(i, "", kChartBlue);
        for (int i = 0; i < c.points1; ++i)
            chart.Series(1).AddPoint(i, "", kChartBlue);
        chart.Series(0).SetActive(c.shown0);
        chart.Series(1).SetActive(c.shown1);
        chart.BottomAxis().SetMaximum(c.maximum);
        chart.BottomAxis().SetMinimum(c.minimum);
        EXPECT_EQ(chart.ScrollBottomAxis(c.d), c.moves) << c.name;
        const double shift = c.moves ? c.d : 0.0;
        EXPECT_EQ(chart.BottomAxis().Minimum(), c.minimum + shift) << c.name;
        EXPECT_EQ(chart.BottomAxis().Maximum(), c.maximum + shift) << c.name;
        EXPECT_EQ(chart.Repaints(), c.moves ? 1 : 0) << c.name;
    }
}

std::vector<std::string> Labels(const std::vector<AxisTick>& ticks)
{
    std::vector<std::string> out;
    for (const auto& t : ticks)
        out.push_back(t.label);
    return out;
}

TEST(AxisTicksTest, PicksRoundSteps)
{
    using L = std::vector<std::string>;
    EXPECT_EQ(Labels(ComputeAxisTicks(-22000, 22000, 9, false)),
              (L{"-20000", "-15000", "-10000", "-5000", "0", "5000", "10000", "15000", "20000"}));
    EXPECT_EQ(Labels(ComputeAxisTicks(1, 100, 8, true)), (L{"20", "40", "60", "80", "100"}));
    EXPECT_EQ(Labels(ComputeAxisTicks(101, 150, 5, true)), (L{"110", "120", "130", "140", "150"}));
    EXPECT_EQ(Labels(ComputeAxisTicks(-2.2, 2.2, 5, false)), (L{"-2", "-1", "0", "1", "2"}));
    EXPECT_EQ(Labels(ComputeAxisTicks(-0.22, 0.22, 5, false)), (L{"-0.2", "-0.1", "0.0", "0.1", "0.2"}));
    EXPECT_EQ(Labels(ComputeAxisTicks(1, 3, 10, true)), (L{"1", "2", "3"}));
    EXPECT_EQ(Labels(ComputeAxisTicks(7, 7, 5, true)), (L{"7"}));
    EXPECT_TRUE(ComputeAxisTicks(5, 1, 5, false).empty());
}

TEST(PageSizeEntryTest, AcceptsOnlyPositive32BitIntegers)
{
    const struct {
        const char* text;
        bool accepted;
        int pageSize;
        const char* message;
    } cases[] = {
        {"50", true, 50, ""},
        {"100", true, 100, ""},
        {"1", true, 1, ""},
        {"007", true, 7, ""},
        {"2147483647", true, 2147483647, ""},
        {"", false, 0, "'' is not a valid integer value"},
        {"2147483648", false, 0, "'2147483648' is not a valid integer value"},
        {"99999999999", false, 0, "'99999999999' is not a valid integer value"},
        {"12a", false, 0, "'12a' is not a valid integer value"},
        {"0", false, 0, "'0' is not a valid page size"},
        {"-5", false, 0, "'-5' is not a valid page size"},
    };
    for (const auto& c : cases) {
        const PageSizeEntry entry = ReadPageSizeEntry(QString::fromLatin1(c.text));
        EXPECT_EQ(entry.accepted, c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_EQ(entry.pageSize, c.pageSize) << c.text;
        }
        EXPECT_EQ(entry.message.toStdString(), c.message) << c.text;
    }
}

TEST(ChartBitmapNameTest, ForcesTheBmpExtension)
{
    const struct {
        const char* chosen;
        const char* written;
    } cases[] = {
        {"a.png", "a.png.bmp"}, {"a.BMP", "a.BMP"},     {"a.Bmp", "a.Bmp"},
        {"a", "a.bmp"},         {"a.bmp", "a.bmp"},     {"/tmp/x.y/pic", "/tmp/x.y/pic.bmp"},
        {"a.bmpx", "a.bmpx.bmp"}, {"a.", "a..bmp"},     {"/tmp/chart.bmp", "/tmp/chart.bmp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChartBitmapFileName(QString::fromLatin1(c.chosen)).toStdString(), c.written) << c.chosen;
}

TEST(ChartLayoutTest, EnlargeThenRestoreRoundTrips)
{
    const QRect normalChart(432, 432, 417, 228);
    const QRect normalToolBar(432, 400, 417, 33);
    const QSize outer(865, 696);

    const ChartLayoutChange enlarged = ToggleChartLayout({normalChart, normalToolBar, QRect(), outer});
    EXPECT_TRUE(enlarged.enlarged);
    EXPECT_EQ(enlarged.chart, QRect(2, 17, 865 - 12, 696 - 60));
    EXPECT_EQ(enlarged.toolBar, QRect(2, 10, 417, 33));
    EXPECT_EQ(enlarged.rememberedChart, normalChart);
    EXPECT_FALSE(enlarged.panelsVisible());
    EXPECT_FALSE(enlarged.enlargeButtonVisible());
    EXPECT_TRUE(enlarged.restoreButtonVisible());

    const ChartLayoutChange restored =
        ToggleChartLayout({enlarged.chart, enlarged.toolBar, enlarged.rememberedChart, outer});
    EXPECT_FALSE(restored.enlarged);
    EXPECT_EQ(restored.chart, normalChart);
    EXPECT_EQ(restored.toolBar, normalToolBar);
    EXPECT_TRUE(restored.panelsVisible());
    EXPECT_TRUE(restored.enlargeButtonVisible());
    EXPECT_FALSE(restored.restoreButtonVisible());
}

TEST(ChartLayoutTest, TheChartTopDecidesTheDirection)
{
    const QSize outer(865, 696);
    const QRect bar(432, 400, 417, 33);
    EXPECT_TRUE(ToggleChartLayout({QRect(432, 51, 417, 228), bar, QRect(), outer}).enlarged);
    EXPECT_FALSE(ToggleChartLayout({QRect(432, 50, 417, 228), bar, QRect(1, 2, 3, 4), outer}).enlarged);
    EXPECT_EQ(ToggleChartLayout({QRect(432, 50, 417, 228), bar, QRect(1, 2, 3, 4), outer}).chart, QRect(1, 2, 3, 4));
}

} // namespace
} // namespace varnex
