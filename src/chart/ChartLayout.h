#pragma once
// Enlarging the chart over the window and putting it back, as pure geometry: the
// window applies the rectangles and shows or hides its panels.
#include <QRect>
#include <QSize>

namespace varnex {

struct ChartLayoutInput {
    QRect chart;            // the chart's present geometry
    QRect toolBar;          // the tool bar Panel19's present geometry
    QRect rememberedChart;  // the normal geometry kept while enlarged
    QSize windowOuter;      // the window's outer (frame) size
};

struct ChartLayoutChange {
    bool enlarged = false;  // after the change
    QRect chart;
    QRect toolBar;
    QRect rememberedChart;
    // Panel1, GroupBox1, Keyboard and AA are shown exactly when not enlarged;
    // TbFd shows while normal, TbSx while enlarged.
    bool panelsVisible() const { return !enlarged; }
    bool enlargeButtonVisible() const { return !enlarged; }
    bool restoreButtonVisible() const { return enlarged; }
};

// A chart top above 50 means the normal layout: enlarge (chart 2, 17, outer width
// - 12 x outer height - 60; tool bar 2, 10, 417 wide). Otherwise restore the
// remembered chart and the tool bar at 432, 400.
ChartLayoutChange ToggleChartLayout(const ChartLayoutInput& in);

constexpr int kChartToolBarWidth = 417;
constexpr int kChartToolBarHeight = 33;

} // namespace varnex
