#pragma once
// Helpers shared by the simulated meter's tests: reading a display state back as a number.
#include "protocol/FrameEncoder.h"
#include "sim/MeterRanges.h"
#include "sim/SimClock.h"

#include <chrono>
#include <cmath>
#include <string>

namespace varnex::sim::testing {

inline SimTime Seconds(double s)
{
    return std::chrono::duration_cast<SimTime>(std::chrono::duration<double>(s));
}

// The unsigned count the six main digits show (the point ignored).
inline long CountOf(const DisplayState& state)
{
    return std::stol(state.mainDigits);
}

// The signed value the display shows, in SI units, for a state in the given range.
inline double ValueOf(const DisplayState& state, const RangeSpec& range)
{
    const double magnitude = static_cast<double>(CountOf(state)) / range.CountsPerUnit() * range.unitScale;
    return state.negative ? -magnitude : magnitude;
}

// The range of the function with this code.
inline const RangeSpec* FindRange(MeterFunction function, char code)
{
    const RangeList ranges = RangesOf(function);
    for (std::size_t i = 0; i < ranges.size; ++i) {
        if (ranges[i].code == code)
            return &ranges[i];
    }
    return nullptr;
}

} // namespace varnex::sim::testing
