#pragma once
// A night of readings as the meter would log them: DC volts drifting slowly with noise,
// an hour of resistance with overloads in the middle, and a drift excursion of a minute.
#include "app/trend/TrendFeed.h"
#include "log/SiQuantity.h"

#include <QDateTime>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace varnex::testing {

inline std::int64_t BerlinMs(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone("Europe/Berlin")).toMSecsSinceEpoch();
}

// `count` readings one every `stepMs` from `startMs`.
inline void FeedSimulatedRun(TrendFeed& feed, std::int64_t startMs, std::int64_t count, std::int64_t stepMs)
{
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, 0.00025);
    char value[32];
    for (std::int64_t i = 0; i < count; ++i) {
        const double hours = double(i * stepMs) / 3600e3;
        LoggedRow row;
        row.utcMs = startMs + i * stepMs;
        const bool ohms = hours >= 3.0 && hours < 4.0;
        if (ohms) {
            row.row.Function = "OHM";
            row.row.Unit = "K*";
            const bool open = std::fmod(hours, 0.25) > 0.24; // leads lifted now and then
            std::snprintf(value, sizeof value, "%.3f", 4.7 + 0.002 * std::sin(hours * 40.0) + noise(rng));
            row.row.Value = open ? "  OL.  " : value;
        } else {
            row.row.Function = "DCV";
            row.row.Unit = "V";
            double v = 5.0 + 0.01 * std::sin(hours * 0.7) + noise(rng);
            if (hours > 5.5 && hours < 5.52) // the minute where it drifted
                v += 0.02 * std::sin((hours - 5.5) / 0.02 * 3.14159);
            std::snprintf(value, sizeof value, "%.5f", v);
            row.row.Value = value;
        }
        row.si = ToSiQuantity(row.row.Value, row.row.Unit, ".");
        feed.rowLogged(row);
    }
}

} // namespace varnex::testing
