#pragma once
// Statistics per lane (function and unit) of the readings in a span of time or of the
// whole table: count, min, max, mean, σ, overloads, and the time the readings cover.
#include "app/trend/TrendSeries.h"

#include <QString>
#include <QTimeZone>

#include <vector>

namespace varnex {

struct LaneStatistics {
    int lane = 0;
    RunningStats stats;
    std::int64_t overloads = 0;
    std::int64_t readings = 0; // every reading, overloads and texts without a number too
    std::int64_t firstMs = 0, lastMs = 0;
};

// Lanes with at least one reading with fromMs <= time < toMs, in lane order.
std::vector<LaneStatistics> SpanStatistics(const TrendSeries& series, double fromMs, double toMs);
// Every lane over all its readings.
std::vector<LaneStatistics> WholeStatistics(const TrendSeries& series);

// "DCV [V]: 1200 readings, min 1.00000 V, max …, mean …, σ …, 3 overloads, 2 h 00 min"
QString StatisticsLine(const TrendLane& lane, const LaneStatistics& s);
// "2026-12-09 22:00:00 – 2026-12-10 06:00:00 (8 h 00 min)" in local time.
QString SpanText(double fromMs, double toMs, const QTimeZone& zone);

} // namespace varnex
