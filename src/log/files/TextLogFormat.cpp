#include "log/files/TextLogFormat.h"

#include "log/files/BufferedWriter.h"
#include "log/files/LineReader.h"
#include "log/files/SplitFields.h"
#include "log/files/WholeNumber.h"

#include <QIODevice>

#include <vector>

namespace varnex {

namespace {

bool IsTrimmed(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

constexpr LogField kTextFields[] = {LogField::Time,  LogField::Function, LogField::Value,
                                    LogField::Unit,  LogField::Value2,   LogField::Unit2};

// A TAB or line break inside a text (possible in rows loaded from an XML packet) would cut
// the line into extra fields or rows; it is written as a space so the file loads back. Any
// other control byte (NUL among them) is written as "?", as the XML packet writes it (XML
// cannot hold it): a text saved from either form is then the same.
void WriteFieldText(BufferedWriter& out, std::string_view text)
{
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20)
            continue;
        out.write(text.substr(runStart, i - runStart));
        out.put(byte == '\t' || byte == '\r' || byte == '\n' ? ' ' : '?');
        runStart = i + 1;
    }
    out.write(text.substr(runStart));
}

} // namespace

std::string_view TrimLogText(std::string_view text)
{
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

void WriteTextLogRow(BufferedWriter& out, const LogRowView& row)
{
    out.writeDecimal(row.No);
    for (LogField field : kTextFields) {
        out.put('\t');
        WriteFieldText(out, TrimLogText(row.text(field)));
    }
    out.write("\r\n");
}

bool WriteTextLog(QIODevice& device, const LogStore& store)
{
    BufferedWriter out(device);
    out.write(kTextLogHeader);
    out.write("\r\n");
    const std::size_t rows = store.size();
    for (std::size_t i = 0; i < rows && out.ok(); ++i)
        WriteTextLogRow(out, store.row(i));
    return out.finish();
}

bool ReadTextLog(QIODevice& device, const LogRowSink& sink)
{
    LineReader reader(device);
    std::string_view line;
    if (!reader.next(line))
        return false; // no first line: empty or unreadable

    std::vector<std::string_view> pieces;
    pieces.reserve(8);
    while (reader.next(line)) {
        SplitFields(line, '\t', pieces);
        if (pieces.size() > static_cast<std::size_t>(LogFieldCount))
            return false;
        LogRowInput row;
        if (!ParseWholeNumber(pieces[0], row.No))
            return false;
        std::string_view* texts[] = {&row.Time, &row.Function, &row.Value,
                                     &row.Unit, &row.Value2,   &row.Unit2};
        for (std::size_t i = 1; i < pieces.size(); ++i)
            *texts[i - 1] = pieces[i];
        sink(row);
    }
    return !reader.failed();
}

} // namespace varnex
