#include "chart/ColumnEnvelope.h"

#include <algorithm>
#include <cmath>

namespace varnex {

ColumnMapper::ColumnMapper(double minimum, double maximum, int width)
    : minimum_(minimum), maximum_(maximum), width_(width < 1 ? 1 : width)
{
    if (!(maximum_ > minimum_)) {
        // A page of one point: show it in the middle, half a point of room each side,
        // so the lines to its neighbours cross the plot.
        minimum_ -= 0.5;
        maximum_ = minimum_ + 1.0;
    }
    step_ = width_ > 1 ? (maximum_ - minimum_) / (width_ - 1) : 0.0;
}

double ColumnMapper::PixelOf(double x) const
{
    if (step_ == 0.0)
        return double((width_ - 1) / 2); // the column that Indices gives the points
    return (x - minimum_) / step_;
}

IndexSpan ColumnMapper::Window(std::int64_t count) const
{
    const double lo = std::max(0.0, std::ceil(minimum_));
    const double hi = std::min(static_cast<double>(count), std::floor(maximum_) + 1.0);
    IndexSpan span;
    span.begin = static_cast<std::int64_t>(lo);
    span.end = std::max(span.begin, static_cast<std::int64_t>(hi));
    return span;
}

std::int64_t ColumnMapper::Boundary(int column) const
{
    return static_cast<std::int64_t>(std::ceil(minimum_ + (column - 0.5) * step_));
}

IndexSpan ColumnMapper::Indices(int column, std::int64_t count) const
{
    const IndexSpan window = Window(count);
    IndexSpan span;
    if (column < 0 || column >= width_)
        return span;
    if (step_ == 0.0) {
        if (column == (width_ - 1) / 2)
            span = window;
        return span;
    }
    span.begin = column == 0 ? window.begin : std::max(window.begin, Boundary(column));
    span.end = column == width_ - 1 ? window.end : std::min(window.end, Boundary(column + 1));
    span.begin = std::min(span.begin, window.end);
    span.end = std::max(span.end, span.begin);
    return span;
}

std::vector<ColumnSummary> SummariseColumns(const ChartPointStore& store, std::int64_t count,
                                            const ColumnMapper& mapper)
{
    count = std::min(count, store.Size());
    std::vector<ColumnSummary> columns(static_cast<std::size_t>(mapper.Width()));
    for (int c = 0; c < mapper.Width(); ++c) {
        const IndexSpan span = mapper.Indices(c, count);
        if (span.Empty())
            continue;
        ColumnSummary& s = columns[static_cast<std::size_t>(c)];
        const ValueRange r = store.MinMax(span.begin, span.end);
        s.empty = false;
        s.first = store.Value(span.begin);
        s.last = store.Value(span.end - 1);
        s.minimum = r.minimum;
        s.maximum = r.maximum;
    }
    return columns;
}

} // namespace varnex
