#pragma once
// The chart pager: shows one page of PageSize consecutive points on the chart's
// bottom axis, follows the newest page until the user pages back, and keeps the
// vertical bounds and the fill switch. Holds no resources; the chart is not owned.
#include "chart/IChart.h"

#include <cstdint>

namespace varnex {

// Pages that n logged points fill: ceil(n / pageSize), and 1 while that is 0.
std::int32_t PageCountFor(std::int64_t loggedPoints, std::int32_t pageSize);

class TChartControl {
public:
    // A page size below 1 is taken as 1 (a page must hold a point).
    TChartControl(IChart& chart, std::int32_t pageSize);

    void AddPoint(double value);
    void ClearPoints();
    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();
    // Sizes below 1 are ignored: the entry refuses them before they get here.
    void SetPageSize(std::int32_t pageSize);
    void SetFill(bool shown);
    void SetLeftMaximum(double maximum);
    void SetLeftMinimum(double minimum);

    std::int32_t PageSize() const { return pageSize_; }
    std::int32_t PageCount() const { return pageCount_; }
    std::int32_t CurrentPage() const { return currentPage_; }
    bool Browsing() const { return browsing_; }
    bool FillVisible() const { return fillVisible_; }
    double LeftMaximum() const { return leftMaximum_; }
    double LeftMinimum() const { return leftMinimum_; }
    // Points logged since creation or the last clear (the zero point not counted).
    std::int64_t LoggedPoints() const;

private:
    void RecomputePageCount();
    void Scroll(std::int64_t times, double offset);

    IChart& chart_;
    std::int32_t pageSize_ = 0;
    std::int32_t pageCount_ = 1;
    std::int32_t currentPage_ = 1;
    bool browsing_ = false;
    double leftMaximum_ = 0.0;
    double leftMinimum_ = 0.0;
    bool fillVisible_ = true;
};

} // namespace varnex
