#pragma once
// One logged reading as the JSON object published on PREFIX/reading:
// {"no":12,"time":"2026-12-09T19:24:34.123Z","function":"DCV","value":"1.23456","unit":"V",
//  "value2":"","unit2":"","si_value":1.23456,"si_unit":"V","overload":false}
// Texts are the table's (Latin-1) turned into UTF-8; "unit" and "unit2" are the plain unit
// texts ("kΩ", not the LCD font's "K*"); "si_value" is null on an overload.
#include "log/LoggedRowListener.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

std::string ReadingJson(const LoggedRow& row);

// "2026-12-09T19:24:34.123Z" for milliseconds since 1970-01-01T00:00:00Z.
std::string Iso8601UtcMs(std::int64_t utcMs);

// Appends `text` as a JSON string (quotes included). `latin1` says the bytes are Latin-1
// and are to be turned into UTF-8; otherwise they are UTF-8 already.
void AppendJsonString(std::string& out, std::string_view text, bool latin1);

} // namespace varnex
