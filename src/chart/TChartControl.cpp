#include "chart/TChartControl.h"

namespace varnex {
namespace {
const std::string kNoLabel;
}

std::int32_t PageCountFor(std::int64_t loggedPoints, std::int32_t pageSize)
{
    if (pageSize < 1 || loggedPoints < 1)
        return 1;
    std::int64_t pages = loggedPoints / pageSize;
    if (loggedPoints % pageSize > 0)
        ++pages;
    if (pages < 1)
        return 1;
    // More than 2^31 pages cannot happen with a 32-bit page size of 1 and a 32-bit
    // record number; clamp rather than wrap if it ever did.
    return pages > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(pages);
}

TChartControl::TChartControl(IChart& chart, std::int32_t pageSize) : chart_(chart)
{
    SetPageSize(pageSize < 1 ? 1 : pageSize);
    IChartAxis& bottom = chart_.BottomAxis();
    bottom.SetAutomatic(false);
    bottom.SetMinimum(1);
    bottom.SetMaximum(pageSize_);
    pageCount_ = 1;
    currentPage_ = 1;
    for (int i = 0; i < chart_.SeriesCount(); ++i)
        chart_.Series(i).AddPoint(0.0, kNoLabel, kChartBlue);
    fillVisible_ = true;
    if (chart_.SeriesCount() > 0)
        chart_.Series(0).SetActive(true);
}

std::int64_t TChartControl::LoggedPoints() const
{
    if (chart_.SeriesCount() == 0)
        return 0;
    const std::int64_t count = chart_.Series(0).Count();
    return count > 0 ? count - 1 : 0;
}

void TChartControl::RecomputePageCount()
{
    pageCount_ = PageCountFor(LoggedPoints(), pageSize_);
}

void TChartControl::Scroll(std::int64_t times, double offset)
{
    for (std::int64_t i = 0; i < times; ++i)
        chart_.ScrollBottomAxis(offset);
}

void TChartControl::AddPoint(double value)
{
    for (int i = 0; i < chart_.SeriesCount(); ++i)
        chart_.Series(i).AddPoint(value, kNoLabel, kChartBlue);
    RecomputePageCount();
    if (!browsing_) {
        // Moves only when the new point lies beyond the page shown.
        chart_.ScrollBottomAxis(pageSize_);
        currentPage_ = pageCount_;
    }
}

void TChartControl::FirstPage()
{
    if (pageCount_ <= 1 || currentPage_ == 1)
        return;
    Scroll(static_cast<std::int64_t>(currentPage_) - 1, -static_cast<double>(pageSize_));
    currentPage_ = 1;
    browsing_ = true;
}

void TChartControl::LastPage()
{
    if (pageCount_ <= 1 || currentPage_ == pageCount_)
        return;
    Scroll(static_cast<std::int64_t>(pageCount_) - currentPage_, pageSize_);
    currentPage_ = pageCount_;
    browsing_ = false;
}

void TChartControl::NextPage()
{
    if (pageCount_ <= 1 || currentPage_ == pageCount_)
        return;
    chart_.ScrollBottomAxis(pageSize_);
    currentPage_ = currentPage_ + 1;
    browsing_ = currentPage_ != pageCount_;
}

void TChartControl::PreviousPage()
{
    if (currentPage_ <= 1)
        return;
    chart_.ScrollBottomAxis(-static_cast<double>(pageSize_));
    currentPage_ = currentPage_ - 1;
    browsing_ = true;
}

void TChartControl::SetPageSize(std::int32_t pageSize)
{
    if (pageSize == pageSize_ || pageSize < 1)
        return;
    pageSize_ = pageSize;
    IChartAxis& bottom = chart_.BottomAxis();
    bottom.SetMinimum(1);
    bottom.SetMaximum(pageSize);
    RecomputePageCount();
    Scroll(static_cast<std::int64_t>(pageCount_) - 1, pageSize);
    currentPage_ = pageCount_;
    browsing_ = false;
}

void TChartControl::ClearPoints()
{
    FirstPage();
    for (int i = 0; i < chart_.SeriesCount(); ++i) {
        chart_.Series(i).Clear();
        chart_.Series(i).AddPoint(0.0, kNoLabel, kChartBlue);
    }
    browsing_ = false;
    pageCount_ = 1;
    currentPage_ = 1;
}

void TChartControl::SetFill(bool shown)
{
    if (shown == fillVisible_)
        return;
    fillVisible_ = shown;
    if (chart_.SeriesCount() > 0)
        chart_.Series(0).SetActive(shown);
}

void TChartControl::SetLeftMaximum(double maximum)
{
    if (maximum == leftMaximum_)
        return;
    leftMaximum_ = maximum;
    chart_.LeftAxis().SetMaximum(maximum);
}

void TChartControl::SetLeftMinimum(double minimum)
{
    if (minimum == leftMinimum_)
        return;
    leftMinimum_ = minimum;
    chart_.LeftAxis().SetMinimum(minimum);
}

} // namespace varnex
