#include "protocol/LcdElement.h"

#include <array>

namespace varnex {

namespace {

constexpr std::array<const char*, kLcdElementCount> kElementNames = {
    "LcdD0",  "LcdDa",   "LcdDb",   "LcdDc",   "LcdDd",  "LcdDe",
    "LcdP0",  "LcdP1",   "LcdP2",   "LcdP3",   "LcdP4",  "LcdFH",
    "LCDd20", "LCDD2A",  "LCDD2B",  "LCDD2C",  "LCDP21", "LCDP22", "LCDP23", "LCDk", "LCDM1",
    "LcdDc1", "lcdrange",
    "LcdV",   "LCDA",    "LCDohm",  "LCDF",    "lcdhz",
    "Lcdm",   "lcdkk",   "LCDMM",   "LCDn",    "lcduu",
    "LcdAuto", "LcdManu", "Labmax", "Labmin",  "LABAVG", "LABALL", "LABSTO", "LABRCL",
    "LABCAL", "LABSETUP", "LCDHOLD", "LCDREL",
    "LCDsend", "CONok",  "CONokN",
};

constexpr std::array<const char*, kTerminalCount> kTerminalNames = {"ma", "v", "caphz", "comm", "a"};

} // namespace

const char* LcdElementName(LcdElement element)
{
    const auto index = ToIndex(element);
    return index < kElementNames.size() ? kElementNames[index] : "";
}

const char* TerminalName(Terminal terminal)
{
    const auto index = ToIndex(terminal);
    return index < kTerminalNames.size() ? kTerminalNames[index] : "";
}

} // namespace varnex
