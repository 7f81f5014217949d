#pragma once
// The meter's function and range table: for each function code its caption, unit sign, terminals
// and log name; for each range its prefix, caption, full scale, chart factor and log unit.
// The rows live as data in FunctionTable.cpp; the decoder only looks them up.
#include "protocol/LcdElement.h"

#include <cstdint>
#include <optional>

namespace varnex {

struct FunctionRow {
    char code;                 // '0'-'9' or 'A'
    const char* caption;       // LcdDc1 caption, exact ("DCV " ends in a space)
    LcdElement unitSign;       // LcdV, LCDA, LCDohm, LCDF or lcdhz
    std::uint8_t terminals;    // bit ToIndex(Terminal) set: that terminal is painted red
    const char* functionText;  // the log's Function ("DCV", "ohm", ...)
    bool readsRange;           // false for diode "A" and continuity "9": one fixed range row
};

struct RangeRow {
    const char* functions;              // the function codes the row serves, e.g. "012"
    char code;                          // range code '0'-'9'; '*' for any (diode, continuity)
    std::optional<LcdElement> prefix;   // Lcdm, lcdkk, LCDMM, LCDn, lcduu or none
    const char* caption;                // lcdrange caption, exact ("2  m A" has two spaces)
    double fullScale;                   // chart axis runs from -fullScale to +fullScale
    int factorDecimals;                 // ChartValue = Count / 10^factorDecimals (factor 0.001 -> 3)
    const char* unitText;               // the log's Unit ("mV", "K*", "KHz", ...)

    // The factor written as the multiplier (0.00001 for 5 decimals).
    double Factor() const;
};

constexpr bool UsesTerminal(const FunctionRow& row, Terminal t)
{
    return (row.terminals >> ToIndex(t)) & 1u;
}

// The row of a function code, or nullptr (codes 'B'-'F' and anything else).
const FunctionRow* FindFunction(char functionCode);

// The row of a range code for the function, or nullptr when the table has none
// (function 'A' and '9' ignore the range code and always have their row).
const RangeRow* FindRange(char functionCode, char rangeCode);

// Count / 10^decimals, the nearest double to the decimal result (1.23456, not 1.2345600000000001).
double ScaleByDecimals(double count, int decimals);

// Every function row / range row in table order, for tests and tools that walk the whole table.
const FunctionRow* FunctionRowsBegin();
const FunctionRow* FunctionRowsEnd();
const RangeRow* RangeRowsBegin();
const RangeRow* RangeRowsEnd();

} // namespace varnex
