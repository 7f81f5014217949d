#include "chart/ChartPainter.h"

#include "chart/AxisTicks.h"
#include "chart/ColumnEnvelope.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace varnex {
namespace {

const QColor kSilver(192, 192, 192);
const QColor kLeftWall(255, 255, 0);
const QColor kLeftAxis(0, 64, 128);
const QColor kAxisText(0, 0, 0);
const QColor kGrid(192, 192, 192);
const QColor kAreaFill(0, 0, 255);
const QColor kAreaOutline(0, 128, 255);
const QColor kLine(128, 255, 0);

constexpr int kWallWidth = 11;
constexpr int kTickLength = 2;
constexpr int kMarginTop = 10;
constexpr int kMarginRight = 14;
constexpr int kMarginLeft = 4;

// Vertical pixel of a value, kept a little outside the plot when off scale so that
// lines leave the plot at the right angle and huge values stay drawable.
struct YMapper {
    double top, bottom, minimum, maximum;
    double operator()(double v) const
    {
        const double span = maximum - minimum;
        double y = span > 0.0 ? bottom - (v - minimum) / span * (bottom - top) : (top + bottom) / 2.0;
        if (std::isnan(y))
            y = bottom;
        return std::clamp(y, top - 4000.0, bottom + 4000.0);
    }
};

} // namespace

ChartPainter::ChartPainter()
{
    font_.setFamily(QStringLiteral("Liberation Sans"));
    font_.setPixelSize(10);
}

void ChartPainter::BuildStatic(QSize size, qreal pixelRatio, const ChartScene& scene)
{
    const QFontMetrics metrics(font_);
    const int textHeight = metrics.height();

    // Vertical extent first: it decides how many left labels fit.
    const int plotTop = kMarginTop;
    const int plotBottom = std::max(plotTop + 10, size.height() - textHeight - 8);
    const int maxLeftTicks = std::max(1, (plotBottom - plotTop) / (textHeight * 2));
    const auto leftTicks = ComputeAxisTicks(scene.yMinimum, scene.yMaximum, maxLeftTicks, false);
    int labelWidth = 0;
    for (const AxisTick& t : leftTicks)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(QString::fromStdString(t.label)));
    const int plotLeft = kMarginLeft + labelWidth + 3 + kWallWidth;
    const int plotRight = std::max(plotLeft + 10, size.width() - kMarginRight);
    plot_ = QRect(QPoint(plotLeft, plotTop), QPoint(plotRight, plotBottom));

    static_ = QPixmap(size * pixelRatio);
    static_.setDevicePixelRatio(pixelRatio);
    QPainter p(&static_);
    p.setFont(font_);

    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0.0, kSilver);
    gradient.setColorAt(1.0, Qt::white);
    p.fillRect(QRect(QPoint(0, 0), size), gradient);
    p.fillRect(plot_, Qt::white);
    p.fillRect(QRect(plotLeft - kWallWidth, plotTop, kWallWidth, plot_.height()), kLeftWall);

    const YMapper mapY{double(plot_.top()), double(plot_.bottom()), scene.yMinimum, scene.yMaximum};
    QPen gridPen(kGrid, 1, Qt::DotLine);
    QPen tickPen(kLeftAxis, 1);
    for (const AxisTick& t : leftTicks) {
        const int y = int(std::lround(mapY(t.value)));
        p.setPen(gridPen);
        p.drawLine(plot_.left(), y, plot_.right(), y);
        p.setPen(tickPen);
        p.drawLine(plot_.left() - 1 - kTickLength, y, plot_.left() - 2, y);
        p.setPen(kAxisText);
        const QRect box(kMarginLeft, y - textHeight / 2, labelWidth, textHeight);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(t.label));
    }
    p.setPen(QPen(kLeftAxis, 1, Qt::DashLine));
    p.drawLine(plot_.left() - 1, plot_.top(), plot_.left() - 1, plot_.bottom());

    // Bottom axis: integer X of the window.
    const int widest = metrics.horizontalAdvance(QString::number(std::llround(std::max(std::fabs(scene.xMinimum), std::fabs(scene.xMaximum)))));
    const int maxBottomTicks = std::max(1, plot_.width() / (widest + 16));
    const ColumnMapper mapX(scene.xMinimum, scene.xMaximum, plot_.width());
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(plot_.left() - 1, plot_.bottom() + 1, plot_.right(), plot_.bottom() + 1);
    for (const AxisTick& t : ComputeAxisTicks(scene.xMinimum, scene.xMaximum, maxBottomTicks, true)) {
        const int x = plot_.left() + int(std::lround(mapX.PixelOf(t.value)));
        p.setPen(gridPen);
        p.drawLine(x, plot_.top(), x, plot_.bottom());
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(x, plot_.bottom() + 1, x, plot_.bottom() + 1 + kTickLength);
        const QString text = QString::fromStdString(t.label);
        const int w = metrics.horizontalAdvance(text);
        p.setPen(kAxisText);
        // Centred under the tick, but kept inside the chart (wide labels at the right end).
        const int textLeft = std::clamp(x - w / 2 - 1, 0, std::max(0, size.width() - w - 3));
        p.drawText(QRect(textLeft, plot_.bottom() + 4, w + 2, textHeight), Qt::AlignCenter, text);
    }
    staticAxes_ = scene;
    staticValid_ = true;
    ++staticBuilds_;
}

void ChartPainter::Paint(QPainter& painter, QSize size, const ChartScene& scene)
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (!staticValid_ || !staticAxes_.SameAxes(scene) || static_.deviceIndependentSize().toSize() != size ||
        static_.devicePixelRatio() != ratio)
        BuildStatic(size, ratio, scene);
    painter.drawPixmap(0, 0, static_);
    painter.save();
    painter.setClipRect(plot_);
    PaintSeries(painter, scene);
    painter.restore();
}

void ChartPainter::PaintSeries(QPainter& painter, const ChartScene& scene) const
{
    if (!scene.points)
        return;
    const ChartPointStore& store = *scene.points;
    const int width = plot_.width();
    const ColumnMapper mapX(scene.xMinimum, scene.xMaximum, width);
    const YMapper mapY{double(plot_.top()), double(plot_.bottom()), scene.yMinimum, scene.yMaximum};
    const double left = plot_.left();
    const double base = plot_.bottom() + 1;

    auto draw = [&](std::int64_t count, bool area) {
        count = std::min(count, store.Size());
        const IndexSpan window = mapX.Window(count);
        QPolygonF curve;
        if (window.end - window.begin > 2 * std::int64_t(width)) {
            // Dense page: each column's first, smallest, largest and last point.
            const auto columns = SummariseColumns(store, count, mapX);
            curve.reserve(int(columns.size()) * (area ? 1 : 4));
            for (int c = 0; c < width; ++c) {
                const ColumnSummary& s = columns[std::size_t(c)];
                if (s.empty)
                    continue;
                const double x = left + c;
                if (area) {
                    curve << QPointF(x, mapY(s.maximum));
                } else {
                    curve << QPointF(x, mapY(s.first)) << QPointF(x, mapY(s.minimum))
                          << QPointF(x, mapY(s.maximum)) << QPointF(x, mapY(s.last));
                }
            }
        } else {
            // Sparse page: every point, plus one each side so the curve leaves the plot.
            const std::int64_t begin = std::max<std::int64_t>(0, window.begin - 1);
            const std::int64_t end = std::min(count, window.end + 1);
            curve.reserve(int(end - begin));
            for (std::int64_t i = begin; i < end; ++i)
                curve << QPointF(left + mapX.PixelOf(double(i)), mapY(store.Value(i)));
        }
        if (curve.isEmpty())
            return;
        if (area) {
            QPolygonF shape = curve;
            shape.prepend(QPointF(curve.first().x(), base));
            shape.append(QPointF(curve.last().x(), base));
            painter.setPen(Qt::NoPen);
            painter.setBrush(kAreaFill);
            painter.drawPolygon(shape);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(kAreaOutline, 1));
        } else {
            painter.setPen(QPen(kLine, 1));
        }
        painter.drawPolyline(curve);
    };

    if (scene.areaShown)
        draw(scene.areaCount, true);
    if (scene.lineShown)
        draw(scene.lineCount, false);
}

} // namespace varnex
