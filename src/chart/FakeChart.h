#pragma once
// A chart without a window: points, labels and colours kept in memory, the same
// axis rules and scroll guard as the widget. Tests drive the pager against it.
#include "chart/ChartAxis.h"
#include "chart/IChart.h"

#include <memory>
#include <vector>

namespace varnex {

class FakeChartSeries final : public IChartSeries {
public:
    struct Point {
        double value = 0.0;
        std::string label;
        ChartColor colour;
    };

    void AddPoint(double value, const std::string& label, ChartColor colour) override;
    void Clear() override { points_.clear(); }
    std::int64_t Count() const override { return static_cast<std::int64_t>(points_.size()); }
    double Value(std::int64_t index) const override { return points_.at(static_cast<std::size_t>(index)).value; }
    bool Active() const override { return active_; }
    void SetActive(bool shown) override;

    const std::vector<Point>& Points() const { return points_; }
    int ActiveChanges() const { return activeChanges_; }

private:
    std::vector<Point> points_;
    bool active_ = true;
    int activeChanges_ = 0;
};

class FakeChart final : public IChart {
public:
    explicit FakeChart(int seriesCount = 2);

    int SeriesCount() const override { return static_cast<int>(series_.size()); }
    FakeChartSeries& Series(int index) override { return *series_.at(static_cast<std::size_t>(index)); }
    const FakeChartSeries& Series(int index) const override { return *series_.at(static_cast<std::size_t>(index)); }
    ChartAxis& BottomAxis() override { return bottom_; }
    const ChartAxis& BottomAxis() const override { return bottom_; }
    ChartAxis& LeftAxis() override { return left_; }
    const ChartAxis& LeftAxis() const override { return left_; }
    bool ScrollBottomAxis(double d) override;

    int Repaints() const { return repaints_; }             // scrolls that moved the window
    int LeftAxisChanges() const { return leftChanges_; }    // effective changes of the left axis

private:
    std::vector<std::unique_ptr<FakeChartSeries>> series_;
    ChartAxis bottom_;
    ChartAxis left_;
    int repaints_ = 0;
    int leftChanges_ = 0;
};

} // namespace varnex
