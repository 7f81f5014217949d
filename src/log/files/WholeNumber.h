#pragma once
// The whole numbers the log files accept for No.
#include <cstdint>
#include <string_view>

namespace varnex {

// An optional sign ("+" or "-") and one or more decimal digits, in the 32-bit range. Spaces
// and tabs before and after are allowed, as spreadsheets sometimes pad numbers; nothing
// else (no hex, no thousands separators, no decimals).
bool ParseWholeNumber(std::string_view text, std::int32_t& value);

} // namespace varnex
