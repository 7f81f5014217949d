#pragma once
// Puts a value on the meter's display: the six main digits with their point, the sign and the
// overload marker for a range, and the four-digit second display in kHz.
#include "protocol/FrameEncoder.h"
#include "sim/MeterRanges.h"

namespace varnex::sim {

// Fills function-independent main-display fields of state (range, digits, point, sign,
// overload) for siValue in range. A value the range cannot show (beyond maxCount, or not
// finite) gives the overload display. Returns true when the value fitted.
bool FormatMain(double siValue, const RangeSpec& range, DisplayState& state);

// Fills the second display with hz in kHz: "1.000" for 1 kHz, "0.050" for mains, up to 999.9 kHz.
// A frequency of zero, below zero or too large blanks the second display.
void FormatSecondKHz(double hz, DisplayState& state);

} // namespace varnex::sim
