#pragma once
// Draws the trend of a span of time into any paint device (the window, a PNG, an SVG, a
// PDF): one lane per function and unit stacked top to bottom, each with its own vertical
// axis; the time axis in local time at the bottom; overloads as red marks at the lane's
// top edge; optionally a caption with the span and its statistics. Each pixel column is
// drawn from the series' min/max summary, so the cost follows the width, not the readings.
#include "app/trend/TimeAxisTicks.h"
#include "app/trend/TrendSeries.h"
#include "app/trend/ValueAxisTicks.h"

#include <QFont>
#include <QRectF>
#include <QStringList>
#include <QTimeZone>

#include <vector>

class QPainter;

namespace varnex {

struct TrendRenderOptions {
    QTimeZone zone = QTimeZone::systemTimeZone();
    bool caption = false; // span and statistics under the plot (exports)
    QString note;         // a line under the plot, e.g. how loaded rows were placed
    QFont font;           // pixel size 11 unless set
};

struct LaneLayout {
    int lane = 0;
    QRectF rect; // the lane's plot area
    ValueAxis axis;
    double yOf(double value) const
    {
        const double span = axis.maximum - axis.minimum;
        return span > 0.0 ? rect.bottom() - (value - axis.minimum) / span * rect.height() : rect.center().y();
    }
};

struct TrendLayout {
    double fromMs = 0.0, toMs = 1.0;
    QRectF plot; // all lanes together
    std::vector<LaneLayout> lanes;
    TimeAxis time;
    QRectF axisRect, captionRect;
    QStringList caption;
    double xOf(double timeMs) const
    {
        return toMs > fromMs ? plot.left() + (timeMs - fromMs) / (toMs - fromMs) * plot.width() : plot.left();
    }
    double timeAt(double x) const
    {
        return plot.width() > 0 ? fromMs + (x - plot.left()) / plot.width() * (toMs - fromMs) : fromMs;
    }
    // The lane under a point, or nullptr.
    const LaneLayout* laneAt(const QPointF& p) const;
};

class TrendRenderer {
public:
    TrendRenderer(const TrendSeries& series, TrendRenderOptions options);

    TrendLayout layout(const QRectF& rect, double fromMs, double toMs) const;
    // Lays out and draws; returns the layout used (the window keeps it for the hover).
    TrendLayout paint(QPainter& painter, const QRectF& rect, double fromMs, double toMs) const;

    QFont font() const { return font_; }

private:
    void paintLane(QPainter& painter, const TrendLayout& layout, const LaneLayout& lane, double columnsPerPx) const;
    void paintTimeAxis(QPainter& painter, const TrendLayout& layout) const;

    const TrendSeries& series_;
    TrendRenderOptions options_;
    QFont font_;
};

} // namespace varnex
