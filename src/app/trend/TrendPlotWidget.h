#pragma once
// The plot of the trend window: the mouse wheel zooms around the cursor, a left drag pans,
// a right drag (or Shift and a left drag) draws a rubber band that zooms to its span, a
// double click fits every reading; hovering reads the nearest reading of the lane under
// the cursor. While the newest reading is in view, new readings move the view on.
#include "app/trend/TrendRenderer.h"
#include "app/trend/TrendViewport.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <optional>

class QRubberBand;

namespace varnex {

class TrendFeed;

class TrendPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit TrendPlotWidget(const TrendFeed& feed, QWidget* parent = nullptr);

    TrendViewport& viewport() { return viewport_; }
    const TrendViewport& viewport() const { return viewport_; }
    const TrendLayout& lastLayout() const { return layout_; }
    // What the hover cursor reads: "2026-12-09 13:05:09.250  DCV 1.23456 V", or empty.
    const QString& hoverText() const { return hoverText_; }
    TrendRenderOptions renderOptions() const;

    void fitAll();
    // The series changed: follow the newest reading if it was in view, and repaint.
    void seriesChanged();

signals:
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refreshLayout();
    void updateHover(const QPointF& at);
    double plotWidth() const;

    const TrendFeed& feed_;
    TrendViewport viewport_;
    TrendLayout layout_;
    double lastSeenMs_ = 0.0;
    bool fitted_ = false;
    std::optional<QPoint> dragFrom_;
    std::optional<QPoint> bandFrom_;
    QRubberBand* band_ = nullptr;
    std::optional<QPointF> hoverPoint_;
    QString hoverText_;
};

} // namespace varnex
