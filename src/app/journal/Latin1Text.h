#pragma once
// The table stores 8-bit Latin-1 texts; the journal stores UTF-8 so that sqlite3, Python and
// Grafana read it as text. Every Latin-1 byte is one code point below U+0100, so the way
// there and back is exact.
#include <string>
#include <string_view>

namespace varnex {

std::string Latin1ToUtf8(std::string_view latin1);
// Code points above U+00FF (only in a journal edited by hand) become "?".
std::string Utf8ToLatin1(std::string_view utf8);

} // namespace varnex
