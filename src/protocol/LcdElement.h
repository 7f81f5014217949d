#pragma once
// The elements of the virtual LCD that a decoder pass drives, and the meter's input terminals.
// The display widgets carry LcdElementName() / TerminalName() as their objectName.
#include <cstddef>

namespace varnex {

enum class LcdElement {
    // main digits D0-D5, left to right
    LcdD0, LcdDa, LcdDb, LcdDc, LcdDd, LcdDe,
    // main decimal points 0-4 and the minus segment
    LcdP0, LcdP1, LcdP2, LcdP3, LcdP4, LcdFH,
    // second display S0-S3 and its points 1-3, its "k" and "Hz"
    LCDd20, LCDD2A, LCDD2B, LCDD2C, LCDP21, LCDP22, LCDP23, LCDk, LCDM1,
    // function and range captions
    LcdDc1, lcdrange,
    // unit signs
    LcdV, LCDA, LCDohm, LCDF, lcdhz,
    // unit prefixes
    Lcdm, lcdkk, LCDMM, LCDn, lcduu,
    // annunciators
    LcdAuto, LcdManu, Labmax, Labmin, LABAVG, LABALL, LABSTO, LABRCL, LABCAL, LABSETUP,
    LCDHOLD, LCDREL,
    // data sign and link signs
    LCDsend, CONok, CONokN,
    Count_
};

constexpr std::size_t kLcdElementCount = static_cast<std::size_t>(LcdElement::Count_);

// The element's name exactly as the widgets carry it ("LcdD0", "lcdrange", "LABSETUP").
const char* LcdElementName(LcdElement element);

constexpr std::size_t ToIndex(LcdElement element) { return static_cast<std::size_t>(element); }

// The five input terminals painted over the picture of the meter's front.
enum class Terminal { ma, v, caphz, comm, a };

constexpr std::size_t kTerminalCount = 5;

// "ma", "v", "caphz", "comm", "a".
const char* TerminalName(Terminal terminal);

constexpr std::size_t ToIndex(Terminal terminal) { return static_cast<std::size_t>(terminal); }

} // namespace varnex
