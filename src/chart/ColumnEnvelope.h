#pragma once
// Maps the bottom axis window onto pixel columns and gives each column the first,
// last, smallest and largest of its points, using the store's summary: drawing a
// page then costs about the plot's width, whatever the page size.
#include "chart/ChartPointStore.h"

#include <cstdint>
#include <vector>

namespace varnex {

struct IndexSpan {
    std::int64_t begin = 0; // first index
    std::int64_t end = 0;   // one past the last; begin == end: no point
    bool Empty() const { return begin >= end; }
};

// Axis Minimum sits on column 0 and Maximum on column width-1 (a window of one X
// is centred).
class ColumnMapper {
public:
    ColumnMapper(double minimum, double maximum, int width);

    int Width() const { return width_; }
    // Pixel position (0 .. width-1, fractional) of X.
    double PixelOf(double x) const;
    // Indices of the points in [0, count) whose X rounds to this column.
    IndexSpan Indices(int column, std::int64_t count) const;
    // Points of [0, count) inside the window.
    IndexSpan Window(std::int64_t count) const;

private:
    std::int64_t Boundary(int column) const; // first index of column

    double minimum_;
    double maximum_;
    int width_;
    double step_; // X per pixel; 0 when the plot is one pixel wide
};

struct ColumnSummary {
    bool empty = true;
    float first = 0.0f, last = 0.0f, minimum = 0.0f, maximum = 0.0f;
};

std::vector<ColumnSummary> SummariseColumns(const ChartPointStore& store, std::int64_t count,
                                            const ColumnMapper& mapper);

} // namespace varnex
