#pragma once
// One row as the journal keeps it: the seven texts of the table plus what the table
// cannot hold (the UTC moment of arrival, the value in SI units, where it came from).
#include <cstdint>
#include <optional>
#include <string>

namespace varnex {

enum class JournalSource { Meter, Load };

struct JournalRecord {
    std::int64_t utcMs = 0; // ms since 1970-01-01T00:00:00Z; 0 for rows without a date
    std::int32_t no = 0;
    // The table's texts, Latin-1 bytes as the table stores them (units in LCD letters, "K*").
    std::string time, function, value, unit, value2, unit2;
    std::optional<double> siValue; // empty on an overload or a value that is no number
    // UTF-8: "V", "A", "Ω", "F", "Hz" or empty; the plain units ("kΩ", "kHz").
    std::string siUnit, plainUnit, plainUnit2;
    JournalSource source = JournalSource::Meter;
};

} // namespace varnex
