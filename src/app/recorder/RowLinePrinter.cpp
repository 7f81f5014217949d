#include "app/recorder/RowLinePrinter.h"

#include "app/journal/ReadingsCsvWriter.h"


namespace varnex {

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
    if (row.utcMs != 0) // 0: a row whose moment is not known
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
