#pragma once
// What the log needs of the chart pager: the window adapts TChartControl to this.

namespace varnex {

class ChartFeed {
public:
    virtual ~ChartFeed() = default;
    // Appends one point; the log passes each logged reading's chart value.
    virtual void AddPoint(double value) = 0;
    // Empties the chart and returns it to page 1.
    virtual void ClearPoints() = 0;
    // The 1-based page shown, read after AddPoint and ClearPoints for the page label.
    virtual int CurrentPage() const = 0;
};

} // namespace varnex
