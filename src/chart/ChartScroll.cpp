#include "chart/ChartScroll.h"

namespace varnex {

bool BottomScrollAllowed(const IChart& chart, double d)
{
    if (!(d > 0.0) && !(d < 0.0))
        return false;
    bool anyPoint = false;
    std::int64_t largestX = 0;
    for (int i = 0; i < chart.SeriesCount(); ++i) {
        const IChartSeries& series = chart.Series(i);
        if (!series.Active() || series.Count() == 0)
            continue;
        const std::int64_t lastX = series.Count() - 1;
        if (!anyPoint || lastX > largestX)
            largestX = lastX;
        anyPoint = true;
    }
    if (!anyPoint)
        return false;
    const std::int64_t smallestX = 0; // every series starts at X 0
    const IChartAxis& axis = chart.BottomAxis();
    if (d > 0.0)
        return static_cast<double>(largestX) > axis.Maximum();
    return static_cast<double>(smallestX) < axis.Minimum();
}

} // namespace varnex
