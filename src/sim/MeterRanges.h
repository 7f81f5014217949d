#pragma once
// The ranges each function of the meter offers, lowest first, and how a value is counted in one.
#include "sim/MeterFunction.h"

#include <cstddef>

namespace varnex::sim {

struct RangeSpec {
    char code;          // range code sent at frame position 3
    double unitScale;   // SI value of one display unit (1e-3 for a millivolt range)
    int point;          // main decimal point 0..4 (digits after it: 5 - point)
    long maxCount;      // the largest count the range shows; beyond it the meter shows overload

    // Counts per display unit: 10^(5 - point).
    double CountsPerUnit() const;
    // The unsigned count of an SI value in this range (rounded to the last digit).
    double CountOf(double siValue) const;
    // Auto-ranging steps down into this range when the count here would be at or below this.
    long DownStepCount() const { return maxCount * 9 / 10; }
};

struct RangeList {
    const RangeSpec* first;
    std::size_t size;
    const RangeSpec& operator[](std::size_t i) const { return first[i]; }
};

// Ranges of the function, lowest first. Continuity and diode have one fixed range.
RangeList RangesOf(MeterFunction function);

} // namespace varnex::sim
