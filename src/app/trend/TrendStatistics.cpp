#include "app/trend/TrendStatistics.h"

#include "app/trend/TimeAxisTicks.h"
#include "app/trend/ValueAxisTicks.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace varnex {

namespace {

void Take(LaneStatistics& s, const TrendSeries& series, const IndexRange& r)
{
    if (r.empty())
        return;
    const RangeSummary summary = series.summarize(r.begin, r.end);
    s.stats.merge(summary.stats);
    s.overloads += summary.overloads;
    const std::int64_t first = series.timeAt(r.begin), last = series.timeAt(r.end - 1);
    if (s.readings == 0) {
        s.firstMs = first;
        s.lastMs = last;
    } else {
        s.firstMs = std::min(s.firstMs, first);
        s.lastMs = std::max(s.lastMs, last);
    }
    s.readings += r.end - r.begin;
}

std::vector<LaneStatistics> Collect(const TrendSeries& series, double fromMs, double toMs, bool whole)
{
    std::vector<LaneStatistics> lanes(series.lanes().size());
    for (std::size_t i = 0; i < lanes.size(); ++i)
        lanes[i].lane = int(i);
    for (const TrendSegment& segment : series.segments()) {
        const IndexRange r = whole ? IndexRange{segment.begin, segment.end}
                                   : series.indicesIn(segment, fromMs, toMs);
        Take(lanes[std::size_t(segment.lane)], series, r);
    }
    lanes.erase(std::remove_if(lanes.begin(), lanes.end(), [](const LaneStatistics& s) { return s.readings == 0; }),
                lanes.end());
    return lanes;
}

} // namespace

std::vector<LaneStatistics> SpanStatistics(const TrendSeries& series, double fromMs, double toMs)
{
    return Collect(series, fromMs, toMs, false);
}

std::vector<LaneStatistics> WholeStatistics(const TrendSeries& series)
{
    return Collect(series, 0, 0, true);
}

QString StatisticsLine(const TrendLane& lane, const LaneStatistics& s)
{
    const QString unit = QString::fromStdString(lane.unit);
    QString line = QStringLiteral("%1 [%2]: %3 readings")
                       .arg(QString::fromStdString(lane.function), unit)
                       .arg(s.stats.count);
    if (s.stats.count > 0) {
        line += QStringLiteral(", min %1, max %2, mean %3, \u03C3 %4")
                    .arg(SiText(s.stats.minimum, unit), SiText(s.stats.maximum, unit),
                         SiText(s.stats.mean, unit), SiText(s.stats.sigma(), unit));
    }
    if (s.overloads > 0)
        line += QStringLiteral(", %1 overloads").arg(s.overloads);
    line += QStringLiteral(", over %1").arg(DurationText(s.lastMs - s.firstMs));
    return line;
}

QString SpanText(double fromMs, double toMs, const QTimeZone& zone)
{
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(std::int64_t(std::floor(fromMs)), zone);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(std::int64_t(std::ceil(toMs)), zone);
    return QStringLiteral("%1 \u2013 %2 (%3)")
        .arg(from.toString(format), to.toString(format), DurationText(std::int64_t(toMs - fromMs)));
}

} // namespace varnex
