#pragma once
// Draws the chart: a cached static layer (gradient, back wall, yellow left wall,
// axes, grid, labels) and the two series over it. The series cost about the plot's
// width in pixels whatever the page size: dense pages are drawn from per-column
// envelopes of the point store's summary.
#include "chart/ChartPointStore.h"

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QSize>

#include <cstdint>

class QPainter;

namespace varnex {

struct ChartScene {
    const ChartPointStore* points = nullptr;
    std::int64_t areaCount = 0; // points of series 0 (the area)
    bool areaShown = true;
    std::int64_t lineCount = 0; // points of series 1 (the line)
    bool lineShown = true;
    double xMinimum = 1.0, xMaximum = 100.0; // bottom axis window
    double yMinimum = -21000.0, yMaximum = 21000.0;

    bool SameAxes(const ChartScene& other) const
    {
        return xMinimum == other.xMinimum && xMaximum == other.xMaximum && yMinimum == other.yMinimum &&
               yMaximum == other.yMaximum;
    }
};

class ChartPainter {
public:
    ChartPainter();

    // Drops the static layer; the next Paint rebuilds it. A Paint with other axis
    // bounds than the cached layer's rebuilds it anyway.
    void Invalidate() { staticValid_ = false; }
    void Paint(QPainter& painter, QSize size, const ChartScene& scene);
    // The back wall, where the series are drawn (valid after a Paint at this size).
    QRect PlotRect() const { return plot_; }
    // Rebuilds of the static layer so far (tests check that it is cached).
    int StaticBuilds() const { return staticBuilds_; }

private:
    void BuildStatic(QSize size, qreal pixelRatio, const ChartScene& scene);
    void PaintSeries(QPainter& painter, const ChartScene& scene) const;

    QFont font_;
    QPixmap static_;
    QRect plot_;
    ChartScene staticAxes_; // the bounds the static layer was drawn for
    bool staticValid_ = false;
    int staticBuilds_ = 0;
};

} // namespace varnex
