#include "chart/FakeChart.h"

#include "chart/ChartScroll.h"

namespace varnex {

void FakeChartSeries::AddPoint(double value, const std::string& label, ChartColor colour)
{
    points_.push_back(Point{value, label, colour});
}

void FakeChartSeries::SetActive(bool shown)
{
    if (shown == active_)
        return;
    active_ = shown;
    ++activeChanges_;
}

FakeChart::FakeChart(int seriesCount)
{
    for (int i = 0; i < seriesCount; ++i)
        series_.push_back(std::make_unique<FakeChartSeries>());
    left_.SetOnChange([this] { ++leftChanges_; });
}

bool FakeChart::ScrollBottomAxis(double d)
{
    if (!BottomScrollAllowed(*this, d))
        return false;
    bottom_.Shift(d);
    ++repaints_;
    return true;
}

} // namespace varnex
