#pragma once
// The readings CSV (RFC 4180, UTF-8, CR LF line ends): the header, then per reading its
// UTC time with milliseconds, number, function, value text, plain unit ("kΩ"), SI value,
// SI unit, second value and its unit. A field with a comma, quote or line break is quoted.
// The same columns as the journal's export, so scripts read both alike.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnex {

inline constexpr std::string_view kReadingsCsvColumns =
    "time_utc,no,function,value,unit,si_value,si_unit,value2,unit2";

struct ReadingCsvFields {
    std::optional<std::int64_t> utcMs; // empty: the moment is not known (a row from a file)
    std::int32_t no = 0;
    std::string_view function, value, unit; // UTF-8; unit in plain letters ("kΩ")
    std::optional<double> siValue;
    std::string_view siUnit;
    std::string_view value2, unit2;
};

// "2026-12-08T14:05:09.042Z"
std::string IsoUtcMsText(std::int64_t utcMs);
// The shortest text that reads back as the same double.
std::string RoundTripNumberText(double value);
// The header line, CR LF included.
void AppendCsvHeader(std::string& out);
void AppendCsvReading(std::string& out, const ReadingCsvFields& reading);

} // namespace varnex
