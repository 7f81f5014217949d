#include "chart/ChartWidget.h"

#include "chart/ChartScroll.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace varnex {

ChartWidget::ChartWidget(QWidget* parent)
    : QWidget(parent),
      store_(2),
      bottom_(0.0, 0.0, true),
      left_(-21000.0, 21000.0, false)
{
    setObjectName(QStringLiteral("Chtshow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(417, 228);
    auto onSeries = [this](std::int64_t x) { SeriesChanged(x); };
    series_[kAreaSeries] = std::make_unique<ChartSeriesView>(store_, kAreaSeries, "Series2", onSeries);
    series_[kLineSeries] = std::make_unique<ChartSeriesView>(store_, kLineSeries, "Series1", onSeries);
    bottom_.SetOnChange([this] { AxisChanged(); });
    left_.SetOnChange([this] { AxisChanged(); });
}

ChartWidget::~ChartWidget() = default;

bool ChartWidget::ScrollBottomAxis(double d)
{
    if (!BottomScrollAllowed(*this, d))
        return false;
    bottom_.Shift(d); // repaints through AxisChanged
    return true;
}

void ChartWidget::SeriesChanged(std::int64_t x)
{
    // A point off the page shown (one point of slack each side for the joining line)
    // needs no repaint: with a page of 100 out of a million that is nearly every point.
    const bool manual = !bottom_.Automatic() && !left_.Automatic();
    if (manual && x >= 0 && (x < std::floor(bottom_.Minimum()) - 1 || x > std::ceil(bottom_.Maximum()) + 1))
        return;
    update();
}

void ChartWidget::AxisChanged()
{
    painter_.Invalidate();
    update();
}

ChartScene ChartWidget::Scene() const
{
    ChartScene scene;
    scene.points = &store_.Points();
    scene.areaCount = series_[kAreaSeries]->Count();
    scene.areaShown = series_[kAreaSeries]->Active();
    scene.lineCount = series_[kLineSeries]->Count();
    scene.lineShown = series_[kLineSeries]->Active();
    scene.xMinimum = bottom_.Minimum();
    scene.xMaximum = bottom_.Maximum();
    scene.yMinimum = left_.Minimum();
    scene.yMaximum = left_.Maximum();
    // An automatic axis spans all points (the pager keeps both axes manual).
    const std::int64_t count = std::max(scene.areaShown ? scene.areaCount : 0, scene.lineShown ? scene.lineCount : 0);
    if (count > 0 && bottom_.Automatic()) {
        scene.xMinimum = 0.0;
        scene.xMaximum = double(count - 1);
    }
    if (count > 0 && left_.Automatic()) {
        const ValueRange range = store_.Points().MinMax(0, std::min(count, store_.Points().Size()));
        if (!std::isnan(range.minimum)) {
            scene.yMinimum = range.minimum;
            scene.yMaximum = range.maximum;
        }
    }
    return scene;
}

void ChartWidget::Render(QPainter& painter)
{
    painter_.Paint(painter, size(), Scene());
}

QImage ChartWidget::RenderImage()
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    Render(painter);
    painter.end();
    return image;
}

void ChartWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Render(painter);
}

void ChartWidget::resizeEvent(QResizeEvent* event)
{
    painter_.Invalidate();
    QWidget::resizeEvent(event);
}

} // namespace varnex
