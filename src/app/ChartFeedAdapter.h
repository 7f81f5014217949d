#pragma once
// The log feeds the chart through the pager.
#include "chart/TChartControl.h"
#include "log/ChartFeed.h"

namespace varnex {

class ChartFeedAdapter : public ChartFeed {
public:
    explicit ChartFeedAdapter(TChartControl* pager = nullptr) : pager_(pager) {}
    void setPager(TChartControl* pager) { pager_ = pager; }
    void AddPoint(double value) override { pager_->AddPoint(value); }
    void ClearPoints() override { pager_->ClearPoints(); }
    int CurrentPage() const override { return pager_->CurrentPage(); }

private:
    TChartControl* pager_;
};

} // namespace varnex
