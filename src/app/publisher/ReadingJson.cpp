#include "app/publisher/ReadingJson.h"

#include <charconv>
#include <cmath>
#include <ctime>

namespace varnex {

std::string Iso8601UtcMs(std::int64_t utcMs)
{
    // Floor division, so that times before 1970 still get a millisecond part of 0..999.
    std::int64_t seconds = utcMs / 1000;
    std::int64_t millis = utcMs % 1000;
    if (millis < 0) {
        millis += 1000;
        seconds -= 1;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(millis));
    return text;
}

void AppendJsonString(std::string& out, std::string_view text, bool latin1)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else if (c >= 0x80 && latin1) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

namespace {

void AppendNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // The shortest text that reads back as the same double: 1.23456, not 1.2345600000000001.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

} // namespace

std::string ReadingJson(const LoggedRow& row)
{
    const LogRowInput& r = row.row;
    std::string out;
    out.reserve(224);
    out += "{\"no\":";
    out += std::to_string(r.No);
    out += ",\"time\":";
    if (row.utcMs != 0)
        AppendJsonString(out, Iso8601UtcMs(row.utcMs), false);
    else
        out += "null";
    out += ",\"function\":";
    AppendJsonString(out, r.Function, true);
    out += ",\"value\":";
    AppendJsonString(out, r.Value, true);
    out += ",\"unit\":";
    AppendJsonString(out, row.si.plainUnit, false);
    out += ",\"value2\":";
    AppendJsonString(out, r.Value2, true);
    out += ",\"unit2\":";
    AppendJsonString(out, PlainUnitText(r.Unit2), false);
    out += ",\"si_value\":";
    if (row.si.value && !row.si.overload)
        AppendNumber(out, *row.si.value);
    else
        out += "null";
    out += ",\"si_unit\":";
    AppendJsonString(out, row.si.siUnit, false);
    out += ",\"overload\":";
    out += row.si.overload ? "true" : "false";
    out += '}';
    return out;
}

} // namespace varnex
