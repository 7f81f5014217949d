#include "app/trend/ReadingsCsvText.h"

#include <QDateTime>

#include <charconv>

namespace varnex {

namespace {

void Field(std::string& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

} // namespace

std::string IsoUtcMsText(std::int64_t utcMs)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")).toStdString();
}

std::string RoundTripNumberText(double value)
{
    // The shortest of the plain and the exponent form that reads back exactly.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void AppendCsvHeader(std::string& out)
{
    out.append(kReadingsCsvColumns);
    out.append("\r\n");
}

void AppendCsvReading(std::string& out, const ReadingCsvFields& r)
{
    if (r.utcMs)
        out.append(IsoUtcMsText(*r.utcMs));
    out.push_back(',');
    out.append(std::to_string(r.no));
    out.push_back(',');
    Field(out, r.function);
    out.push_back(',');
    Field(out, r.value);
    out.push_back(',');
    Field(out, r.unit);
    out.push_back(',');
    if (r.siValue)
        out.append(RoundTripNumberText(*r.siValue));
    out.push_back(',');
    Field(out, r.siUnit);
    out.push_back(',');
    Field(out, r.value2);
    out.push_back(',');
    Field(out, r.unit2);
    out.append("\r\n");
}

} // namespace varnex
