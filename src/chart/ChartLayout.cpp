#include "chart/ChartLayout.h"

namespace varnex {

ChartLayoutChange ToggleChartLayout(const ChartLayoutInput& in)
{
    ChartLayoutChange out;
    const int toolBarHeight = in.toolBar.height() > 0 ? in.toolBar.height() : kChartToolBarHeight;
    if (in.chart.top() > 50) {
        out.enlarged = true;
        out.rememberedChart = in.chart;
        out.chart = QRect(2, 17, in.windowOuter.width() - 12, in.windowOuter.height() - 60);
        out.toolBar = QRect(2, 10, kChartToolBarWidth, toolBarHeight);
    } else {
        out.enlarged = false;
        out.rememberedChart = in.rememberedChart;
        out.chart = in.rememberedChart;
        out.toolBar = QRect(432, 400, kChartToolBarWidth, toolBarHeight);
    }
    return out;
}

} // namespace varnex
