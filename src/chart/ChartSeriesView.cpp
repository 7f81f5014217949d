#include "chart/ChartSeriesView.h"

namespace varnex {

ChartSeriesView::ChartSeriesView(SharedSeriesStore& store, int index, std::string name,
                                 std::function<void(std::int64_t)> onChange)
    : store_(store), index_(index), name_(std::move(name)), onChange_(std::move(onChange))
{
}

void ChartSeriesView::AddPoint(double value, const std::string& /*label*/, ChartColor /*colour*/)
{
    const std::int64_t x = store_.AddPoint(index_, value);
    if (onChange_)
        onChange_(x);
}

void ChartSeriesView::Clear()
{
    store_.Clear(index_);
    if (onChange_)
        onChange_(-1);
}

void ChartSeriesView::SetActive(bool shown)
{
    if (shown == active_)
        return;
    active_ = shown;
    if (onChange_)
        onChange_(-1);
}

} // namespace varnex
