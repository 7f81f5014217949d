#pragma once
// The count rule: the signed display digits read as one whole number.
#include <string_view>

namespace varnex {

// Reads T (sign and digit slots, no separator) as the meter's count.
// "v@" / "-v@" as Sign D1 D2 is handled by the caller (overload: +-FullScaleCount).
// Text that is not a decimal number gives 0, and so does text that reads as -999999 (the
// "not a number" marker of the count rule). A number written with an exponent ("1E3", only
// possible when a frame carries two point markers) is truncated toward zero; one too large
// for a double gives 0.
double CountFromDigitText(std::string_view text);

} // namespace varnex
