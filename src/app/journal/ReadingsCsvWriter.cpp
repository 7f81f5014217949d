#include "app/journal/ReadingsCsvWriter.h"

#include "log/files/BufferedWriter.h"

#include <QFileDevice>

#include <charconv>
#include <cstdio>

namespace varnex {

namespace {

// Days since 1970-01-01 to year, month, day in the proleptic Gregorian calendar.
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

std::string IsoUtcText(std::int64_t utcMs)
{
    const std::int64_t days = FloorDiv(utcMs, 86400000);
    const std::int64_t msOfDay = utcMs - days * 86400000;
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<long long>(year), month,
                  day, int(msOfDay / 3600000), int(msOfDay / 60000 % 60), int(msOfDay / 1000 % 60),
                  int(msOfDay % 1000));
    return text;
}

std::string ShortestNumberText(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

ReadingsCsvWriter::ReadingsCsvWriter(QIODevice& device) : out_(new BufferedWriter(device))
{
    out_->write(kReadingsCsvHeader);
    out_->write("\r\n");
}

ReadingsCsvWriter::~ReadingsCsvWriter()
{
    delete out_;
}

void ReadingsCsvWriter::field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out_->write(text);
        return;
    }
    out_->put('"');
    for (char c : text) {
        if (c == '"')
            out_->put('"');
        out_->put(c);
    }
    out_->put('"');
}

void ReadingsCsvWriter::write(const CsvReading& r)
{
    if (r.utcMs != 0)
        out_->write(IsoUtcText(r.utcMs));
    out_->put(',');
    out_->writeDecimal(r.no);
    out_->put(',');
    field(r.function);
    out_->put(',');
    field(r.value);
    out_->put(',');
    field(r.unit);
    out_->put(',');
    if (r.siValue)
        out_->write(ShortestNumberText(*r.siValue));
    out_->put(',');
    field(r.siUnit);
    out_->put(',');
    field(r.value2);
    out_->put(',');
    field(r.unit2);
    out_->write("\r\n");
}

bool ReadingsCsvWriter::finish()
{
    return out_->finish();
}

} // namespace varnex
