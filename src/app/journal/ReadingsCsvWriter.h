#pragma once
// Readings as CSV for spreadsheets and scripts (RFC 4180): a header line, then one line per
// reading, every line ending CR LF; a field holding a comma, a quote or a line break is
// quoted, its quotes doubled. Texts are UTF-8. Knows nothing of where the readings come
// from (the journal, the rows in memory).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QIODevice;

namespace varnex {

class BufferedWriter;

struct CsvReading {
    std::int64_t utcMs = 0; // 0: the moment is unknown (a row loaded from a file) -> empty field
    std::int32_t no = 0;
    std::string_view function, value, unit;
    std::optional<double> siValue; // empty -> empty field (overload, no number)
    std::string_view siUnit;
    std::string_view value2, unit2;
};

inline constexpr std::string_view kReadingsCsvHeader =
    "time_utc,no,function,value,unit,si_value,si_unit,value2,unit2";

// "2026-12-08T14:05:09.042Z": ISO 8601, UTC, always three digits of milliseconds.
std::string IsoUtcText(std::int64_t utcMs);
// The shortest text that reads back as the same double ("0.00123", "1e-09").
std::string ShortestNumberText(double value);

class ReadingsCsvWriter {
public:
    // Writes the header at once.
    explicit ReadingsCsvWriter(QIODevice& device);
    ~ReadingsCsvWriter();
    ReadingsCsvWriter(const ReadingsCsvWriter&) = delete;
    ReadingsCsvWriter& operator=(const ReadingsCsvWriter&) = delete;

    void write(const CsvReading& reading);
    // Writes out what is buffered; false once any write to the device failed.
    bool finish();

private:
    void field(std::string_view text);
    BufferedWriter* out_;
};

} // namespace varnex
