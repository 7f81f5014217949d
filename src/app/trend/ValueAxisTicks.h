#pragma once
// The vertical axis of one lane: round ticks in the reading's unit with an SI prefix
// chosen for the range ("mV", "kΩ", "MHz"), and SI texts for single values.
#include <QString>

#include <vector>

namespace varnex {

struct ValueTick {
    double value = 0.0; // in the SI unit
    QString label;      // in the prefixed unit: "1.25"
};

struct ValueAxis {
    double minimum = 0.0, maximum = 1.0; // the lane's range, SI unit
    double scale = 1.0;                   // 1e-3 for "m", 1e3 for "k"
    QString unitLabel;                    // "mV"
    std::vector<ValueTick> ticks;
};

// The prefix ("p" .. "G", "µ" for micro) and its factor for values of this size.
struct SiPrefix {
    QString prefix;
    double scale = 1.0;
};
SiPrefix PrefixFor(double magnitude);

// A range that holds [lo, hi] with a little room, and never an empty one.
void PadRange(double& lo, double& hi);
// At most maxTicks + 1 ticks inside [minimum, maximum].
ValueAxis ComputeValueAxis(double minimum, double maximum, int maxTicks, const QString& unit);

// "1.23456 mV", "-12.5 kΩ": a value with `digits` significant digits and a prefix.
QString SiText(double value, const QString& unit, int digits = 6);

} // namespace varnex
