// The pager against the in-memory chart: page arithmetic, following and browsing.
#include "chart/FakeChart.h"
#include "chart/TChartControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>

namespace varnex {
namespace {

using Window = std::pair<double, double>;

class PagerTest : public ::testing::Test {
protected:
    FakeChart chart;
    TChartControl pager{chart, 100};

    void Add(int n, double value = 1.5)
    {
        for (int i = 0; i < n; ++i)
            pager.AddPoint(value);
    }
    Window Shown() const { return {chart.BottomAxis().Minimum(), chart.BottomAxis().Maximum()}; }
    static Window Page(int page, int size) { return {double((page - 1) * size + 1), double(page * size)}; }
};

TEST_F(PagerTest, StartsOnPageOneWithTheZeroPointOnEverySeries)
{
    EXPECT_EQ(Shown(), Window(1, 100));
    EXPECT_FALSE(chart.BottomAxis().Automatic());
    EXPECT_EQ(pager.PageSize(), 100);
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_EQ(pager.PageCount(), 1);
    EXPECT_FALSE(pager.Browsing());
    EXPECT_TRUE(pager.FillVisible());
    EXPECT_EQ(pager.LeftMaximum(), 0.0);
    EXPECT_EQ(pager.LeftMinimum(), 0.0);
    for (int s = 0; s < chart.SeriesCount(); ++s) {
        ASSERT_EQ(chart.Series(s).Count(), 1) << "series " << s;
        const auto& zero = chart.Series(s).Points()[0];
        EXPECT_EQ(zero.value, 0.0);
        EXPECT_EQ(zero.label, "");
        EXPECT_EQ(zero.colour, kChartBlue);
        EXPECT_TRUE(chart.Series(s).Active());
    }
}

TEST_F(PagerTest, PageMovesWithoutPointsChangeNothing)
{
    const std::pair<const char*, std::function<void(TChartControl&)>> moves[] = {
        {"FirstPage", [](TChartControl& p) { p.FirstPage(); }},
        {"PreviousPage", [](TChartControl& p) { p.PreviousPage(); }},
        {"NextPage", [](TChartControl& p) { p.NextPage(); }},
        {"LastPage", [](TChartControl& p) { p.LastPage(); }},
    };
    for (const auto& [name, move] : moves) {
        move(pager);
        EXPECT_EQ(Shown(), Window(1, 100)) << name;
        EXPECT_EQ(pager.CurrentPage(), 1) << name;
        EXPECT_EQ(pager.PageCount(), 1) << name;
        EXPECT_FALSE(pager.Browsing()) << name;
    }
    EXPECT_EQ(chart.Repaints(), 0);
}

TEST(PageCountTest, CountsWholeAndPartPages)
{
    const struct {
        std::int64_t points;
        std::int32_t pageSize;
        std::int32_t pages;
    } cases[] = {
        {0, 100, 1}, {1, 100, 1}, {99, 100, 1}, {100, 100, 1}, {101, 100, 2}, {200, 100, 2},
        {201, 100, 3}, {0, 1, 1}, {1, 1, 1}, {7, 1, 7}, {120, 50, 3}, {1000000, 100, 10000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageCountFor(c.points, c.pageSize), c.pages) << c.points << " points, page size " << c.pageSize;
}

TEST_F(PagerTest, FollowingMovesOnWithTheFirstPointOfEachNewPage)
{
    Add(100);
    EXPECT_EQ(Shown(), Window(1, 100));
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_EQ(chart.Repaints(), 0);
    Add(1);
    EXPECT_EQ(Shown(), Window(101, 200));
    EXPECT_EQ(pager.CurrentPage(), 2);
    Add(99); // exactly 200 points
    EXPECT_EQ(Shown(), Window(101, 200));
    EXPECT_EQ(pager.CurrentPage(), 2);
    EXPECT_EQ(pager.PageCount(), 2);
    Add(1);
    EXPECT_EQ(Shown(), Window(201, 300));
    EXPECT_EQ(pager.CurrentPage(), 3);
    EXPECT_EQ(chart.Repaints(), 2);
}

TEST_F(PagerTest, EveryPointGoesToEverySeriesWithTheNextX)
{
    pager.AddPoint(-3.25);
    pager.AddPoint(7.0);
    for (int s = 0; s < chart.SeriesCount(); ++s) {
        const auto& points = chart.Series(s).Points();
        ASSERT_EQ(points.size(), 3u);
        EXPECT_EQ(points[1].value, -3.25); // X 1
        EXPECT_EQ(points[2].value, 7.0);   // X 2
        EXPECT_EQ(points[2].label, "");
        EXPECT_EQ(points[2].colour, kChartBlue);
    }
}

TEST_F(PagerTest, BrowsingHoldsThePageWhilePointsArrive)
{
    Add(250);
    pager.FirstPage();
    EXPECT_TRUE(pager.Browsing());
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_EQ(Shown(), Window(1, 100));
    Add(100);
    EXPECT_EQ(Shown(), Window(1, 100));
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_EQ(pager.PageCount(), 4);
    EXPECT_TRUE(pager.Browsing());
    pager.LastPage();
    EXPECT_EQ(pager.CurrentPage(), 4);
    EXPECT_EQ(Shown(), Window(301, 400));
    EXPECT_FALSE(pager.Browsing());
    Add(51); // following again: point 401 opens page 5
    EXPECT_EQ(pager.CurrentPage(), 5);
    EXPECT_EQ(Shown(), Window(401, 500));
}

TEST_F(PagerTest, NextPageOntoTheLastPageResumesFollowing)
{
    Add(250);
    pager.FirstPage();
    pager.NextPage();
    EXPECT_EQ(pager.CurrentPage(), 2);
    EXPECT_TRUE(pager.Browsing());
    pager.NextPage();
    EXPECT_EQ(pager.CurrentPage(), 3);
    EXPECT_FALSE(pager.Browsing());
    Add(50);
    EXPECT_EQ(Shown(), Window(201, 300));
    Add(1);
    EXPECT_EQ(Shown(), Window(301, 400));
    EXPECT_EQ(pager.CurrentPage(), 4);
}

TEST_F(PagerTest, PreviousThenNextReturnsToTheLastPageAndFollows)
{
    Add(250);
    EXPECT_EQ(pager.CurrentPage(), 3);
    pager.PreviousPage();
    EXPECT_EQ(pager.CurrentPage(), 2);
    EXPECT_EQ(Shown(), Window(101, 200));
    EXPECT_TRUE(pager.Browsing());
    pager.NextPage();
    EXPECT_EQ(pager.CurrentPage(), 3);
    EXPECT_EQ(Shown(), Window(201, 300));
    EXPECT_FALSE(pager.Browsing());
}

TEST_F(PagerTest, PreviousPageStopsAtPageOneAndLastPageAtTheLast)
{
    Add(250);
    pager.FirstPage();
    pager.PreviousPage();
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_EQ(Shown(), Window(1, 100));
    pager.LastPage();
    const int repaints = chart.Repaints();
    pager.NextPage();
    pager.LastPage();
    EXPECT_EQ(pager.CurrentPage(), 3);
    EXPECT_EQ(chart.Repaints(), repaints);
    EXPECT_FALSE(pager.Browsing());
}

TEST_F(PagerTest, NewPageSizeShowsTheLastPageAndFollows)
{
    Add(120);
    pager.FirstPage();
    pager.SetPageSize(50);
    EXPECT_EQ(pager.PageSize(), 50);
    EXPECT_EQ(Shown(), Window(101, 150));
    EXPECT_EQ(pager.CurrentPage(), 3);
    EXPECT_EQ(pager.PageCount(), 3);
    EXPECT_FALSE(pager.Browsing());
    pager.SetPageSize(1000);
    EXPECT_EQ(Shown(), Window(1, 1000));
    EXPECT_EQ(pager.CurrentPage(), 1);
}

TEST_F(PagerTest, SamePageSizeChangesNothingEvenWhileBrowsing)
{
    Add(250);
    pager.PreviousPage();
    const int repaints = chart.Repaints();
    pager.SetPageSize(100);
    EXPECT_EQ(pager.CurrentPage(), 2);
    EXPECT_TRUE(pager.Browsing());
    EXPECT_EQ(Shown(), Window(101, 200));
    EXPECT_EQ(chart.Repaints(), repaints);
}

TEST_F(PagerTest, PageSizeBelowOneIsIgnored)
{
    Add(120);
    for (int bad : {0, -1, -100}) {
        pager.SetPageSize(bad);
        EXPECT_EQ(pager.PageSize(), 100) << bad;
        EXPECT_EQ(Shown(), Window(101, 200)) << bad;
    }
    FakeChart other;
    TChartControl zeroSized(other, 0);
    EXPECT_EQ(zeroSized.PageSize(), 1);
    EXPECT_EQ(other.BottomAxis().Maximum(), 1.0);
}

TEST_F(PagerTest, ClearPointsWhileBrowsingReturnsToAnEmptyPageOne)
{
    Add(450);
    pager.FirstPage();
    pager.NextPage();
    ASSERT_EQ(pager.CurrentPage(), 2);
    ASSERT_EQ(pager.PageCount(), 5);
    pager.SetLeftMaximum(600);
    pager.SetLeftMinimum(-600);
    pager.ClearPoints();
    EXPECT_EQ(Shown(), Window(1, 100));
    EXPECT_EQ(pager.PageCount(), 1);
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_FALSE(pager.Browsing());
    EXPECT_EQ(pager.PageSize(), 100);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 600.0);
    EXPECT_EQ(chart.LeftAxis().Minimum(), -600.0);
    for (int s = 0; s < chart.SeriesCount(); ++s) {
        ASSERT_EQ(chart.Series(s).Count(), 1);
        EXPECT_EQ(chart.Series(s).Value(0), 0.0);
    }
    pager.AddPoint(42.0);
    EXPECT_EQ(chart.Series(1).Count(), 2); // the new point is X 1
    EXPECT_EQ(chart.Series(1).Value(1), 42.0);
    EXPECT_EQ(Shown(), Window(1, 100));
}

TEST_F(PagerTest, FillHidesOnlyTheAreaSeriesAndOnlyOnChange)
{
    pager.SetFill(false);
    EXPECT_FALSE(chart.Series(0).Active());
    EXPECT_TRUE(chart.Series(1).Active());
    EXPECT_FALSE(pager.FillVisible());
    pager.SetFill(false);
    EXPECT_EQ(chart.Series(0).ActiveChanges(), 1);
    pager.SetFill(true);
    EXPECT_TRUE(chart.Series(0).Active());
    EXPECT_EQ(chart.Series(0).ActiveChanges(), 2);
    EXPECT_EQ(chart.Series(1).ActiveChanges(), 0);
}

TEST_F(PagerTest, HiddenFillStillPagesOnTheLineSeries)
{
    pager.SetFill(false);
    Add(101);
    EXPECT_EQ(Shown(), Window(101, 200));
    pager.FirstPage();
    EXPECT_EQ(Shown(), Window(1, 100));
}

TEST_F(PagerTest, VerticalBoundsTouchTheAxisOnlyWhenTheyChange)
{
    chart.LeftAxis().SetAutomatic(false);
    chart.LeftAxis().SetMaximum(21000);
    chart.LeftAxis().SetMinimum(-21000);
    const int before = chart.LeftAxisChanges();
    pager.SetLeftMaximum(0); // equals the stored start value: nothing
    pager.SetLeftMinimum(0);
    EXPECT_EQ(chart.LeftAxisChanges(), before);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 21000.0);

    pager.SetLeftMaximum(600);
    pager.SetLeftMinimum(-600);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 600.0);
    EXPECT_EQ(chart.LeftAxis().Minimum(), -600.0);
    const int afterFirst = chart.LeftAxisChanges();
    pager.SetLeftMaximum(600);
    pager.SetLeftMinimum(-600);
    EXPECT_EQ(chart.LeftAxisChanges(), afterFirst);

    pager.SetLeftMaximum(2.2); // narrowing: maximum first keeps the axis valid
    pager.SetLeftMinimum(-2.2);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 2.2);
    EXPECT_EQ(chart.LeftAxis().Minimum(), -2.2);
}

// Whatever the sequence of commands, the window shows page CurrentPage and
// following means the last page.
TEST_F(PagerTest, WindowAlwaysShowsTheCurrentPage)
{
    std::mt19937 random(20261209);
    for (int step = 0; step < 4000; ++step) {
        const int op = int(random() % 100);
        std::string what;
        if (op < 55) {
            Add(int(random() % 30));
            what = "AddPoint";
        } else if (op < 63) {
            pager.FirstPage();
            what = "FirstPage";
        } else if (op < 73) {
            pager.PreviousPage();
            what = "PreviousPage";
        } else if (op < 83) {
            pager.NextPage();
            what = "NextPage";
        } else if (op < 90) {
            pager.LastPage();
            what = "LastPage";
        } else if (op < 97) {
            pager.SetPageSize(1 + int(random() % 40));
            what = "SetPageSize";
        } else {
            pager.ClearPoints();
            what = "ClearPoints";
        }
        const std::int64_t n = chart.Series(0).Count() - 1;
        ASSERT_EQ(pager.PageCount(), PageCountFor(n, pager.PageSize())) << "step " << step << " " << what;
        ASSERT_EQ(Shown(), Page(pager.CurrentPage(), pager.PageSize())) << "step " << step << " " << what;
        if (!pager.Browsing()) {
            ASSERT_EQ(pager.CurrentPage(), pager.PageCount()) << "step " << step << " " << what;
        }
        ASSERT_GE(pager.CurrentPage(), 1);
        ASSERT_LE(pager.CurrentPage(), pager.PageCount());
    }
}

} // namespace
} // namespace varnex
