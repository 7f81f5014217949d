#pragma once
// Several series that always show the same points keep them once: one
// ChartPointStore and a point count per series. A series appending a point that the
// store already holds at its position just counts it; the store shrinks to the
// longest series when series are cleared.
#include "chart/ChartPointStore.h"

#include <cstdint>
#include <vector>

namespace varnex {

class SharedSeriesStore {
public:
    explicit SharedSeriesStore(int seriesCount);

    // Returns the X of the new point (the series' count before it). When the store
    // already holds a different value at that X, the new value replaces it for every
    // series: the series share one set of points.
    std::int64_t AddPoint(int series, double value);
    void Clear(int series);
    std::int64_t Count(int series) const { return counts_[static_cast<std::size_t>(series)]; }
    int SeriesCount() const { return static_cast<int>(counts_.size()); }

    const ChartPointStore& Points() const { return store_; }

private:
    ChartPointStore store_;
    std::vector<std::int64_t> counts_;
};

} // namespace varnex
