#include "chart/SharedSeriesStore.h"

#include <algorithm>
#include <cstring>

namespace varnex {

SharedSeriesStore::SharedSeriesStore(int seriesCount)
    : counts_(static_cast<std::size_t>(seriesCount < 0 ? 0 : seriesCount), 0)
{
}

std::int64_t SharedSeriesStore::AddPoint(int series, double value)
{
    std::int64_t& count = counts_[static_cast<std::size_t>(series)];
    const float stored = static_cast<float>(value);
    const std::int64_t x = count;
    if (x == store_.Size()) {
        store_.Append(stored);
    } else {
        const float held = store_.Value(x);
        // Bitwise compare so that a NaN point is "the same" as itself.
        if (std::memcmp(&held, &stored, sizeof stored) != 0)
            store_.Set(x, stored);
    }
    ++count;
    return x;
}

void SharedSeriesStore::Clear(int series)
{
    counts_[static_cast<std::size_t>(series)] = 0;
    store_.Truncate(*std::max_element(counts_.begin(), counts_.end()));
}

} // namespace varnex
