// Zoom and pan arithmetic of the trend view.
#include "app/trend/TrendViewport.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(TrendViewport, WheelZoomKeepsTheTimeUnderTheCursor)
{
    TrendViewport v(1000, 11000);
    const double width = 500;
    const double x = 100; // 1/5 of the way
    const double under = v.timeAt(x, width);
    EXPECT_DOUBLE_EQ(under, 3000);
    v.zoomAround(under, 0.5);
    EXPECT_DOUBLE_EQ(v.spanMs(), 5000);
    EXPECT_DOUBLE_EQ(v.timeAt(x, width), under);
    EXPECT_DOUBLE_EQ(v.fromMs(), 2000);
    v.zoomAround(under, 4.0);
    EXPECT_DOUBLE_EQ(v.spanMs(), 20000);
    EXPECT_DOUBLE_EQ(v.pixelOf(under, width), x);
}

TEST(TrendViewport, ZoomStopsAtTheSmallestAndLargestSpan)
{
    TrendViewport v(0, 100);
    v.zoomAround(50, 1e-6);
    EXPECT_DOUBLE_EQ(v.spanMs(), TrendViewport::kMinSpanMs);
    EXPECT_DOUBLE_EQ(v.fromMs(), 50 - TrendViewport::kMinSpanMs / 2);
    v.zoomAround(50, 1e30);
    EXPECT_DOUBLE_EQ(v.spanMs(), TrendViewport::kMaxSpanMs);
}

TEST(TrendViewport, DragPansByThePixelsMoved)
{
    TrendViewport v(0, 10000);
    v.panPixels(50, 500); // dragged right: earlier times come into view
    EXPECT_DOUBLE_EQ(v.fromMs(), -1000);
    EXPECT_DOUBLE_EQ(v.toMs(), 9000);
    v.panPixels(-100, 500);
    EXPECT_DOUBLE_EQ(v.fromMs(), 1000);
    EXPECT_DOUBLE_EQ(v.spanMs(), 10000);
}

TEST(TrendViewport, RubberBandZoomsToItsSpanEitherWay)
{
    TrendViewport v(0, 10000);
    v.zoomToPixels(400, 100, 500);
    EXPECT_DOUBLE_EQ(v.fromMs(), 2000);
    EXPECT_DOUBLE_EQ(v.toMs(), 8000);
    v.zoomToPixels(10, 10, 500); // a click, not a band: the smallest span around it
    EXPECT_DOUBLE_EQ(v.spanMs(), TrendViewport::kMinSpanMs);
    EXPECT_DOUBLE_EQ(v.fromMs() + v.spanMs() / 2, 2120);
}

TEST(TrendViewport, FitShowsEveryReadingWithRoom)
{
    TrendViewport v;
    v.fit(100000, 200000);
    EXPECT_DOUBLE_EQ(v.fromMs(), 98000);
    EXPECT_DOUBLE_EQ(v.toMs(), 202000);
    v.fit(5000, 5000); // one reading
    EXPECT_DOUBLE_EQ(v.fromMs(), 4000);
    EXPECT_DOUBLE_EQ(v.toMs(), 6000);
}

TEST(TrendViewport, FollowsOnlyWhileTheNewestReadingIsInView)
{
    TrendViewport v(0, 10000);
    EXPECT_FALSE(v.follow(5000, 9000)); // still inside: nothing to do
    EXPECT_TRUE(v.follow(9000, 10500));
    EXPECT_DOUBLE_EQ(v.spanMs(), 10000);
    EXPECT_GE(v.toMs(), 10500);
    EXPECT_LE(v.fromMs(), 9000);
    v.set(0, 5000); // the user looks back
    EXPECT_FALSE(v.follow(10500, 11000));
    EXPECT_DOUBLE_EQ(v.toMs(), 5000);
}

} // namespace
} // namespace varnex
