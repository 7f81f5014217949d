#pragma once
// The tab-separated text form of the log (".xls", ".txt"): 8-bit text, no byte-order mark,
// a header line with the seven field names, then one line per row, every line ending CR LF.
#include "log/LogStore.h"
#include "log/files/LogRowSink.h"

#include <string_view>

class QIODevice;

namespace varnex {

class BufferedWriter;

inline constexpr std::string_view kTextLogHeader = "No\tTime\tFunction\tValue\tUnit\tValue2\tUnit2";

// The text without leading and trailing spaces and control characters (bytes up to 0x20,
// and DEL). Bytes from 0x80 on are letters of the code page and stay.
std::string_view TrimLogText(std::string_view text);

// One row line: No unchanged, then the six texts trimmed, TAB between, CR LF at the end.
// A TAB, CR or LF inside a text is written as a space (the form has no escaping), any other
// control byte as "?", the same as in the XML packet.
void WriteTextLogRow(BufferedWriter& out, const LogRowView& row);

// Header and every row of store. False when the device refused a write.
bool WriteTextLog(QIODevice& device, const LogStore& store);

// Drops the first line, then hands one row per line to sink (pieces by position, not
// trimmed). False at the first failure: nothing in the data (no first line), a read error,
// a line with more than seven pieces or a No that is not a whole number. Rows of earlier
// lines have been handed on by then; nothing of the failing line is.
bool ReadTextLog(QIODevice& device, const LogRowSink& sink);

} // namespace varnex
