#pragma once
// What the pager needs of a chart: series by index, two manual axes and a guarded
// scroll of the bottom axis. The widget (ChartWidget) and the in-memory FakeChart
// both provide it, so the page arithmetic is tested without a window.
#include <cstdint>
#include <string>

namespace varnex {

struct ChartColor {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(ChartColor a, ChartColor b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
    friend bool operator!=(ChartColor a, ChartColor b) { return !(a == b); }
};

constexpr ChartColor kChartBlue{0, 0, 255};

class IChartSeries {
public:
    virtual ~IChartSeries() = default;
    // Appends a point; its X is the number of points the series held before it.
    virtual void AddPoint(double value, const std::string& label, ChartColor colour) = 0;
    virtual void Clear() = 0;
    virtual std::int64_t Count() const = 0;
    virtual double Value(std::int64_t index) const = 0;
    virtual bool Active() const = 0; // shown
    virtual void SetActive(bool shown) = 0;
};

class IChartAxis {
public:
    virtual ~IChartAxis() = default;
    virtual bool Automatic() const = 0;
    virtual void SetAutomatic(bool automatic) = 0;
    virtual double Minimum() const = 0;
    virtual double Maximum() const = 0;
    // Refused (false, nothing changes) when the new Minimum exceeds Maximum.
    virtual bool SetMinimum(double minimum) = 0;
    // Refused (false, nothing changes) when the new Maximum is below Minimum.
    virtual bool SetMaximum(double maximum) = 0;
};

class IChart {
public:
    virtual ~IChart() = default;
    virtual int SeriesCount() const = 0;
    virtual IChartSeries& Series(int index) = 0;
    virtual const IChartSeries& Series(int index) const = 0;
    virtual IChartAxis& BottomAxis() = 0;
    virtual const IChartAxis& BottomAxis() const = 0;
    virtual IChartAxis& LeftAxis() = 0;
    virtual const IChartAxis& LeftAxis() const = 0;
    // Guarded scroll of the bottom axis by d: moves the window (both ends + d) and
    // repaints only when d > 0 and a shown point lies right of Maximum, or d < 0 and
    // a shown point lies left of Minimum. Returns whether the window moved.
    virtual bool ScrollBottomAxis(double d) = 0;
};

} // namespace varnex
