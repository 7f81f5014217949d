#pragma once
// A manual/automatic axis range that refuses to invert: the common axis of the
// widget and the fake chart. A change callback lets the widget repaint its axes.
#include "chart/IChart.h"

#include <functional>

namespace varnex {

class ChartAxis final : public IChartAxis {
public:
    ChartAxis(double minimum = 0.0, double maximum = 0.0, bool automatic = true);

    bool Automatic() const override { return automatic_; }
    void SetAutomatic(bool automatic) override;
    double Minimum() const override { return minimum_; }
    double Maximum() const override { return maximum_; }
    bool SetMinimum(double minimum) override;
    bool SetMaximum(double maximum) override;

    // Adds d to both ends (a scroll keeps the window's width, so it cannot invert).
    void Shift(double d);
    // Called after every effective change.
    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void Changed();

    double minimum_;
    double maximum_;
    bool automatic_;
    std::function<void()> onChange_;
};

} // namespace varnex
