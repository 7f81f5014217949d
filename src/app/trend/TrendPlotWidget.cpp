#include "app/trend/TrendPlotWidget.h"

#include "app/trend/TrendFeed.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>

#include <cmath>

namespace varnex {

TrendPlotWidget::TrendPlotWidget(const TrendFeed& feed, QWidget* parent) : QWidget(parent), feed_(feed)
{
    setObjectName(QStringLiteral("TrendPlot"));
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    fitAll();
}

TrendRenderOptions TrendPlotWidget::renderOptions() const
{
    TrendRenderOptions options;
    options.zone = feed_.zone();
    return options;
}

void TrendPlotWidget::fitAll()
{
    const TrendSeries& s = feed_.series();
    if (s.size() > 0) {
        viewport_.fit(double(s.firstMs()), double(s.lastMs()));
        fitted_ = true;
    } else {
        const double now = double(QDateTime::currentMSecsSinceEpoch());
        viewport_.set(now - 60000.0, now);
        fitted_ = false;
    }
    lastSeenMs_ = double(s.lastMs());
    refreshLayout();
    emit viewChanged();
}

void TrendPlotWidget::seriesChanged()
{
    const TrendSeries& s = feed_.series();
    const double last = double(s.lastMs());
    if (s.size() == 0) {
        fitted_ = false;
        lastSeenMs_ = 0.0;
    } else if (!fitted_) {
        fitAll(); // the first readings: show them
        return;
    } else if (last != lastSeenMs_) {
        viewport_.follow(lastSeenMs_, last);
    }
    lastSeenMs_ = last;
    refreshLayout();
    emit viewChanged();
}

double TrendPlotWidget::plotWidth() const
{
    return layout_.plot.width() > 0 ? layout_.plot.width() : double(width());
}

void TrendPlotWidget::refreshLayout()
{
    layout_ = TrendRenderer(feed_.series(), renderOptions()).layout(QRectF(rect()), viewport_.fromMs(), viewport_.toMs());
    if (hoverPoint_)
        updateHover(*hoverPoint_);
    update();
}

void TrendPlotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    layout_ = TrendRenderer(feed_.series(), renderOptions()).paint(painter, QRectF(rect()), viewport_.fromMs(), viewport_.toMs());
    if (hoverPoint_ && !hoverText_.isEmpty()) {
        painter.setPen(QPen(QColor(90, 90, 90), 0, Qt::DashLine));
        painter.drawLine(QPointF(hoverPoint_->x(), layout_.plot.top()), QPointF(hoverPoint_->x(), layout_.plot.bottom()));
        const QFontMetricsF fm(painter.font());
        QRectF box(0, 0, fm.horizontalAdvance(hoverText_) + 10, fm.height() + 6);
        box.moveTopLeft(QPointF(std::min(hoverPoint_->x() + 8, layout_.plot.right() - box.width()), layout_.plot.top() + 2));
        painter.fillRect(box, QColor(255, 255, 225));
        painter.setPen(Qt::black);
        painter.drawRect(box);
        painter.drawText(box, Qt::AlignCenter, hoverText_);
    }
}

void TrendPlotWidget::resizeEvent(QResizeEvent*)
{
    refreshLayout();
}

void TrendPlotWidget::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0)
        return;
    const double anchor = layout_.timeAt(event->position().x());
    viewport_.zoomAround(anchor, std::pow(0.8, steps));
    refreshLayout();
    emit viewChanged();
    event->accept();
}

void TrendPlotWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier))) {
        bandFrom_ = at;
        band_->setGeometry(QRect(at, QSize()));
        band_->show();
    } else if (event->button() == Qt::LeftButton) {
        dragFrom_ = at;
        setCursor(Qt::ClosedHandCursor);
    }
}

void TrendPlotWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (dragFrom_) {
        viewport_.panPixels(at.x() - dragFrom_->x(), plotWidth());
        dragFrom_ = at;
        refreshLayout();
        emit viewChanged();
    } else if (bandFrom_) {
        const QRect plot = layout_.plot.toRect();
        band_->setGeometry(QRect(QPoint(bandFrom_->x(), plot.top()), QPoint(at.x(), plot.bottom())).normalized());
    }
    hoverPoint_ = event->position();
    updateHover(event->position());
    update();
}

void TrendPlotWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (bandFrom_) {
        band_->hide();
        const double x0 = bandFrom_->x() - layout_.plot.left(), x1 = event->position().x() - layout_.plot.left();
        bandFrom_.reset();
        if (std::abs(x1 - x0) >= 3.0) { // a click is no band
            viewport_.zoomToPixels(x0, x1, plotWidth());
            refreshLayout();
            emit viewChanged();
        }
    }
    if (dragFrom_) {
        dragFrom_.reset();
        unsetCursor();
    }
}

void TrendPlotWidget::mouseDoubleClickEvent(QMouseEvent*)
{
    fitAll();
}

void TrendPlotWidget::leaveEvent(QEvent*)
{
    hoverPoint_.reset();
    hoverText_.clear();
    update();
}

void TrendPlotWidget::updateHover(const QPointF& at)
{
    hoverText_.clear();
    const LaneLayout* lane = layout_.laneAt(at);
    if (!lane)
        return;
    const TrendSeries& s = feed_.series();
    const std::int64_t i = s.nearest(lane->lane, layout_.timeAt(at.x()));
    if (i < 0)
        return;
    const TrendLane& info = s.lanes()[std::size_t(lane->lane)];
    const float v = s.valueAt(i);
    const QString value = v == kOverloadValue ? QStringLiteral("overload")
                          : std::isnan(v)     ? QStringLiteral("no value")
                                              : SiText(double(v), QString::fromStdString(info.unit));
    hoverText_ = QStringLiteral("%1  %2 %3")
                     .arg(QDateTime::fromMSecsSinceEpoch(s.timeAt(i), feed_.zone()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                          QString::fromStdString(info.function), value);
}

} // namespace varnex
