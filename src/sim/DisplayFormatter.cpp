#include "sim/DisplayFormatter.h"

#include <cmath>
#include <cstdio>

namespace varnex::sim {

namespace {

std::string ZeroPadded(long value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*ld", width, value);
    return text;
}

} // namespace

bool FormatMain(double siValue, const RangeSpec& range, DisplayState& state)
{
    state.range = range.code;
    state.mainPoint = range.point;
    const double count = std::isfinite(siValue) ? range.CountOf(siValue) : HUGE_VAL;
    if (count > static_cast<double>(range.maxCount)) {
        state.overload = true;
        state.negative = siValue < 0;
        state.mainDigits = "000000";
        return false;
    }
    state.overload = false;
    state.negative = siValue < 0 && count > 0;  // no "-0.00000"
    state.mainDigits = ZeroPadded(static_cast<long>(count), 6);
    return true;
}

void FormatSecondKHz(double hz, DisplayState& state)
{
    const double kHz = hz / 1000.0;
    state.secondDigits.clear();
    if (!(kHz > 0))
        return;
    // S0 . S1 S2 S3 up to 9.999, then S0 S1 . S2 S3, then S0 S1 S2 . S3
    for (int point = 1; point <= 3; ++point) {
        const double digits = std::round(kHz * std::pow(10.0, 4 - point));
        if (digits <= 9999.0) {
            state.secondDigits = ZeroPadded(static_cast<long>(digits), 4);
            state.secondPoint = point;
            return;
        }
    }
}

} // namespace varnex::sim
