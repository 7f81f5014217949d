#pragma once
// Ticks of the time axis in local time: the step adapts to the span and the width
// (milliseconds, seconds, minutes, hours, days, months) and so does the label form. Ticks
// sit on round local times, so across a change of the clocks the labels show the local
// time the clock showed (01:00 then 03:00 when it went forward).
#include <QString>
#include <QTimeZone>

#include <cstdint>
#include <vector>

namespace varnex {

enum class TimeTickUnit { Millisecond, Second, Minute, Hour, Day, Month };

struct TimeTick {
    double utcMs = 0.0;
    QString label;     // "13:05", "13:05:09", "09.250", "2026-12-09"
    QString dateLabel; // the local date under the first tick and where the day changes
};

struct TimeAxis {
    TimeTickUnit unit = TimeTickUnit::Second;
    std::int64_t stepMs = 1000; // the nominal step (a month counts 30 days)
    std::vector<TimeTick> ticks;
};

// Ticks within [fromMs, toMs] for an axis `widthPx` wide whose labels are about
// `charWidthPx` per character; never more than widthPx / (label width + gap).
TimeAxis ComputeTimeAxis(double fromMs, double toMs, double widthPx, double charWidthPx,
                         const QTimeZone& zone);

// "2 h 05 min", "3.250 s", "4 d 02 h": a duration for the statistics.
QString DurationText(std::int64_t ms);

} // namespace varnex
