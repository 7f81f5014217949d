#include "app/recorder/RowLinePrinter.h"

#include <ctime>

namespace varnex {

std::string IsoUtcText(std::int64_t utcMs)
{
    if (utcMs == 0)
        return {};
    std::int64_t seconds = utcMs / 1000;
    int millis = int(utcMs % 1000);
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, millis);
    return text;
}

namespace {

// A text from a loaded row could hold a TAB or a line end: never split a line with it.
void AppendField(std::string& line, std::string_view text)
{
    for (char c : text)
        line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

} // namespace

std::string RowLinePrinter::LineOf(const LoggedRow& row)
{
    std::string line = std::to_string(row.row.No);
    line += '\t';
    line += IsoUtcText(row.utcMs);
    line += '\t';
    AppendField(line, row.row.Time);
    line += '\t';
    AppendField(line, row.row.Function);
    line += '\t';
    AppendField(line, row.row.Value);
    line += '\t';
    AppendField(line, row.si.plainUnit);
    line += '\t';
    AppendField(line, row.row.Value2);
    line += '\t';
    AppendField(line, PlainUnitText(row.row.Unit2));
    return line;
}

void RowLinePrinter::rowLogged(const LoggedRow& row)
{
    const std::string line = LineOf(row);
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

} // namespace varnex
