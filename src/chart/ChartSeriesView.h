#pragma once
// One series of the chart widget: a view over the widget's shared point store with
// its own point count and shown flag. Labels and per-point colours are accepted and
// not kept: every point of a series is drawn in the series' colours.
#include "chart/IChart.h"
#include "chart/SharedSeriesStore.h"

#include <functional>
#include <string>

namespace varnex {

class ChartSeriesView final : public IChartSeries {
public:
    // onChange(x) after a point is added at X x; onChange(-1) after a clear or a
    // change of the shown flag.
    ChartSeriesView(SharedSeriesStore& store, int index, std::string name,
                    std::function<void(std::int64_t)> onChange);

    void AddPoint(double value, const std::string& label, ChartColor colour) override;
    void Clear() override;
    std::int64_t Count() const override { return store_.Count(index_); }
    double Value(std::int64_t index) const override { return store_.Points().Value(index); }
    bool Active() const override { return active_; }
    void SetActive(bool shown) override;

    const std::string& Name() const { return name_; }

private:
    SharedSeriesStore& store_;
    int index_;
    std::string name_;
    bool active_ = true;
    std::function<void(std::int64_t)> onChange_;
};

} // namespace varnex
