#include "app/trend/TrendRenderer.h"

#include "app/trend/TrendStatistics.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace varnex {

namespace {

const QColor kLineColour(0, 90, 200);
const QColor kPlacedColour(200, 110, 0); // readings whose day was inferred
const QColor kOverloadColour(220, 0, 0);
const QColor kGridColour(225, 225, 225);
const QColor kFrameColour(120, 120, 120);
constexpr double kLaneGap = 8.0;

} // namespace

const LaneLayout* TrendLayout::laneAt(const QPointF& p) const
{
    for (const LaneLayout& lane : lanes)
        if (lane.rect.contains(p))
            return &lane;
    return nullptr;
}

TrendRenderer::TrendRenderer(const TrendSeries& series, TrendRenderOptions options)
    : series_(series), options_(std::move(options)), font_(options_.font)
{
    if (font_.pixelSize() <= 0)
        font_.setPixelSize(11);
}

TrendLayout TrendRenderer::layout(const QRectF& rect, double fromMs, double toMs) const
{
    TrendLayout l;
    l.fromMs = fromMs;
    l.toMs = toMs;
    const QFontMetricsF fm(font_);
    const double line = fm.lineSpacing();

    const std::vector<LaneStatistics> inView = SpanStatistics(series_, fromMs, toMs);
    if (options_.caption) {
        l.caption << QStringLiteral("Trend %1").arg(SpanText(fromMs, toMs, options_.zone));
        for (const LaneStatistics& s : inView)
            l.caption << StatisticsLine(series_.lanes()[std::size_t(s.lane)], s);
        if (inView.empty())
            l.caption << QStringLiteral("No readings in this span");
    }
    if (!options_.note.isEmpty())
        l.caption << options_.note;
    const double captionHeight = l.caption.isEmpty() ? 0.0 : l.caption.size() * line + 6.0;

    // Lanes: those with readings in view; with none in view, every lane (still empty).
    std::vector<int> lanes;
    for (const LaneStatistics& s : inView)
        lanes.push_back(s.lane);
    if (lanes.empty())
        for (std::size_t i = 0; i < series_.lanes().size(); ++i)
            lanes.push_back(int(i));

    const double axisHeight = 2.0 * line + 8.0;
    const double top = rect.top() + 6.0;
    const double bottom = rect.bottom() - captionHeight - axisHeight;
    const double laneCount = std::max<double>(1.0, double(lanes.size()));
    const double laneHeight = std::max(20.0, (bottom - top - kLaneGap * (laneCount - 1)) / laneCount);
    const int maxTicks = std::max(1, int(laneHeight / (line * 2.2)));

    double labelWidth = fm.horizontalAdvance(QStringLiteral("-0000.00"));
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        LaneLayout lane;
        lane.lane = lanes[i];
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (const LaneStatistics& s : inView)
            if (s.lane == lanes[i] && s.stats.count > 0) {
                lo = s.stats.minimum;
                hi = s.stats.maximum;
            }
        PadRange(lo, hi);
        lane.axis = ComputeValueAxis(lo, hi, maxTicks, QString::fromStdString(series_.lanes()[std::size_t(lanes[i])].unit));
        for (const ValueTick& t : lane.axis.ticks)
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(t.label));
        l.lanes.push_back(lane);
    }
    const double left = rect.left() + labelWidth + 10.0;
    const double right = rect.right() - 12.0;
    l.plot = QRectF(QPointF(left, top), QPointF(std::max(left + 10.0, right), std::max(top + 10.0, bottom)));
    for (std::size_t i = 0; i < l.lanes.size(); ++i)
        l.lanes[i].rect = QRectF(left, top + double(i) * (laneHeight + kLaneGap), l.plot.width(), laneHeight);
    l.axisRect = QRectF(left, l.plot.bottom(), l.plot.width(), axisHeight);
    l.captionRect = QRectF(rect.left() + 6.0, rect.bottom() - captionHeight, rect.width() - 12.0, captionHeight);
    l.time = ComputeTimeAxis(fromMs, toMs, l.plot.width(), fm.averageCharWidth(), options_.zone);
    return l;
}

TrendLayout TrendRenderer::paint(QPainter& painter, const QRectF& rect, double fromMs, double toMs) const
{
    painter.save();
    painter.setFont(font_);
    const TrendLayout l = layout(rect, fromMs, toMs);
    painter.fillRect(rect, Qt::white);
    const double dpr = painter.device() ? std::max(1.0, painter.device()->devicePixelRatioF()) : 1.0;
    for (const LaneLayout& lane : l.lanes)
        paintLane(painter, l, lane, dpr);
    paintTimeAxis(painter, l);
    if (l.lanes.empty()) {
        painter.setPen(kFrameColour);
        painter.drawText(l.plot, Qt::AlignCenter, QStringLiteral("No readings"));
    }
    painter.setPen(Qt::black);
    const double line = QFontMetricsF(font_).lineSpacing();
    for (int i = 0; i < l.caption.size(); ++i)
        painter.drawText(QPointF(l.captionRect.left(), l.captionRect.top() + 4.0 + line * (i + 0.8)), l.caption[i]);
    painter.restore();
    return l;
}

void TrendRenderer::paintLane(QPainter& painter, const TrendLayout& l, const LaneLayout& lane, double columnsPerPx) const
{
    const QRectF r = lane.rect;
    const QFontMetricsF fm(font_);
    // Grid, value ticks and the lane's name.
    painter.setPen(QPen(kGridColour, 0));
    for (const ValueTick& t : lane.axis.ticks)
        painter.drawLine(QPointF(r.left(), lane.yOf(t.value)), QPointF(r.right(), lane.yOf(t.value)));
    for (const TimeTick& t : l.time.ticks)
        painter.drawLine(QPointF(l.xOf(t.utcMs), r.top()), QPointF(l.xOf(t.utcMs), r.bottom()));
    painter.setPen(QPen(kFrameColour, 0));
    painter.drawRect(r);
    painter.setPen(Qt::black);
    for (const ValueTick& t : lane.axis.ticks) {
        const double y = lane.yOf(t.value);
        painter.drawLine(QPointF(r.left() - 4.0, y), QPointF(r.left(), y));
        const QRectF box(r.left() - 6.0 - fm.horizontalAdvance(t.label) - 2.0, y - fm.height() / 2.0,
                         fm.horizontalAdvance(t.label) + 2.0, fm.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, t.label);
    }
    const TrendLane& info = series_.lanes()[std::size_t(lane.lane)];
    QFont bold = font_;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QPointF(r.left() + 6.0, r.top() + fm.ascent() + 3.0),
                     QStringLiteral("%1 [%2]").arg(QString::fromStdString(info.function), lane.axis.unitLabel));
    painter.setFont(font_);

    // Readings: per pixel column the span min..max, joined to the next column.
    painter.save();
    painter.setClipRect(r.adjusted(-1, -1, 1, 1));
    const int columns = std::max(1, int(std::lround(r.width() * columnsPerPx)));
    const double columnWidth = r.width() / columns;
    const double msPerColumn = (l.toMs - l.fromMs) / columns;
    std::vector<QLineF> lines, placedLines, overloads;
    std::vector<QPointF> dots, placedDots;
    for (const TrendSegment& segment : series_.segments()) {
        if (segment.lane != lane.lane)
            continue;
        const IndexRange all = series_.indicesIn(segment, l.fromMs, l.toMs);
        if (all.empty())
            continue;
        auto& out = segment.placed ? placedLines : lines;
        auto& outDots = segment.placed ? placedDots : dots;
        const bool sparse = (all.end - all.begin) * 3 < columns;
        const int c0 = std::clamp(int((double(series_.timeAt(all.begin)) - l.fromMs) / msPerColumn), 0, columns - 1);
        const int c1 = std::clamp(int((double(series_.timeAt(all.end - 1)) - l.fromMs) / msPerColumn), 0, columns - 1);
        bool havePrevious = false;
        QPointF previous;
        for (int c = c0; c <= c1; ++c) {
            const double t0 = l.fromMs + c * msPerColumn;
            const IndexRange cr = series_.indicesIn(segment, c == c0 ? l.fromMs : t0,
                                                    c == c1 ? l.toMs : t0 + msPerColumn);
            if (cr.empty())
                continue;
            const double x = r.left() + (c + 0.5) * columnWidth;
            const RangeSummary s = series_.summarize(cr.begin, cr.end);
            if (s.overloads > 0)
                overloads.emplace_back(QPointF(x, r.top()), QPointF(x, r.top() + 7.0));
            if (s.stats.count == 0) {
                havePrevious = false; // an overload or a gap breaks the line
                continue;
            }
            const float first = series_.valueAt(cr.begin), last = series_.valueAt(cr.end - 1);
            const QPointF top(x, lane.yOf(s.stats.maximum)), bottom(x, lane.yOf(s.stats.minimum));
            if (top.y() != bottom.y() || cr.end - cr.begin > 1)
                out.emplace_back(top, bottom);
            const QPointF in(x, std::isfinite(first) ? lane.yOf(first) : top.y());
            if (havePrevious)
                out.emplace_back(previous, in);
            if (sparse)
                outDots.push_back(in);
            previous = QPointF(x, std::isfinite(last) ? lane.yOf(last) : bottom.y());
            havePrevious = std::isfinite(last);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kLineColour, 1.2));
    painter.drawLines(lines.data(), int(lines.size()));
    painter.setPen(QPen(kPlacedColour, 1.2));
    painter.drawLines(placedLines.data(), int(placedLines.size()));
    for (const auto* points : {&dots, &placedDots}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(points == &dots ? kLineColour : kPlacedColour);
        for (const QPointF& p : *points)
            painter.drawRect(QRectF(p.x() - 1.5, p.y() - 1.5, 3.0, 3.0));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOverloadColour, 2.0));
    painter.drawLines(overloads.data(), int(overloads.size()));
    painter.restore();
}

void TrendRenderer::paintTimeAxis(QPainter& painter, const TrendLayout& l) const
{
    const QFontMetricsF fm(font_);
    painter.setPen(Qt::black);
    const double y = l.axisRect.top();
    for (const TimeTick& t : l.time.ticks) {
        const double x = l.xOf(t.utcMs);
        painter.drawLine(QPointF(x, y), QPointF(x, y + 4.0));
        // Centred under the tick, but never past the right edge of the picture.
        const double right = l.axisRect.right() + 10.0;
        const double w = fm.horizontalAdvance(t.label);
        painter.drawText(QPointF(std::min(x - w / 2.0, right - w), y + 4.0 + fm.ascent()), t.label);
        if (!t.dateLabel.isEmpty()) {
            const double dw = fm.horizontalAdvance(t.dateLabel);
            painter.drawText(QPointF(std::min(x - dw / 2.0, right - dw), y + 4.0 + fm.lineSpacing() + fm.ascent()),
                             t.dateLabel);
        }
    }
}

} // namespace varnex
