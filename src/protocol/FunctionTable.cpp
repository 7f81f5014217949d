#include "protocol/FunctionTable.h"

#include <array>
#include <cstring>
#include <iterator>

namespace varnex {

namespace {

constexpr std::uint8_t Bits(std::initializer_list<Terminal> terminals)
{
    std::uint8_t bits = 0;
    for (Terminal t : terminals)
        bits = static_cast<std::uint8_t>(bits | (1u << ToIndex(t)));
    return bits;
}

using T = Terminal;
using E = LcdElement;

const FunctionRow kFunctions[] = {
    {'0', "DCV ", E::LcdV, Bits({T::v, T::comm}), "DCV", true},
    {'1', "ACV", E::LcdV, Bits({T::v, T::comm}), "ACV", true},
    {'2', "ACV DCV", E::LcdV, Bits({T::v, T::comm}), "ACV DCV", true},
    {'3', "DCI", E::LCDA, Bits({T::a, T::comm}), "DCI", true},
    {'4', "ACI", E::LCDA, Bits({T::a, T::comm}), "ACI", true},
    {'5', "ACI+DCI", E::LCDA, Bits({T::a, T::comm}), "ACI DCI", true},
    {'6', "OHM", E::LCDohm, Bits({T::v, T::comm, T::ma, T::caphz}), "ohm", true},
    {'7', "CAP", E::LCDF, Bits({T::comm, T::v}), "CAP", true},
    {'8', "FRQ", E::lcdhz, Bits({T::comm, T::v}), "FRQ", true},
    {'9', "CTN", E::LCDohm, Bits({T::comm, T::v}), "CTN", false},
    {'A', "DIO", E::LcdV, Bits({T::comm, T::v}), "DIO", false},
};

const std::optional<LcdElement> kNone;

const RangeRow kRanges[] = {
    // voltage: DCV, ACV, ACV DCV
    {"012", '0', E::Lcdm, "2 0 0 m V", 200, 3, "mV"},
    {"012", '1', kNone, "2 V", 2, 5, "V"},
    {"012", '2', kNone, "2 0 V", 20, 4, "V"},
    {"012", '3', kNone, "2 0 0 V", 200, 3, "V"},
    {"0", '4', kNone, "1 0 0 0 V", 1000, 2, "V"},
    {"12", '4', kNone, "7 5 0 V", 750, 2, "V"},
    // current: DCI, ACI, ACI+DCI
    {"345", '0', E::Lcdm, "2  m A", 2, 5, "mA"},
    {"345", '1', E::Lcdm, "2 0 0 m A", 200, 3, "mA"},
    {"345", '2', kNone, "1 0 A", 10, 4, "A"},
    // resistance
    {"6", '0', kNone, "2 0 0 *", 200, 3, "*"},
    {"6", '1', E::lcdkk, "2 K *", 2, 5, "K*"},
    {"6", '2', E::lcdkk, "2 0 K *", 20, 4, "K*"},
    {"6", '3', E::lcdkk, "2 0 0 K *", 200, 3, "K*"},
    {"6", '4', E::LCDMM, "2 M *", 2, 5, "M*"},
    {"6", '5', E::LCDMM, "2 0 M *", 20, 4, "M*"},
    // capacitance
    {"7", '0', E::LCDn, "6 n F", 6, 3, "nF"},
    {"7", '1', E::LCDn, "6 0 n F", 60, 2, "nF"},
    {"7", '2', E::LCDn, "600 n F", 600, 1, "nF"},
    {"7", '3', E::lcduu, "6 u F", 6, 3, "uF"},
    {"7", '4', E::lcduu, "6 0 u F", 60, 2, "uF"},
    {"7", '5', E::lcduu, "6 0 0 u F", 600, 1, "uF"},
    {"7", '6', E::Lcdm, "6 . 0 m F", 6, 3, "mF"},
    // frequency
    {"8", '0', E::lcdkk, "6 K Hz", 6, 3, "KHz"},
    {"8", '1', E::lcdkk, "6 0 K Hz", 60, 2, "KHz"},
    {"8", '2', E::lcdkk, "6 0 0 K Hz", 600, 1, "KHz"},
    {"8", '3', E::LCDMM, "6 M Hz", 6, 3, "MHz"},
    {"8", '4', E::LCDMM, "6 0 M Hz", 60, 2, "MHz"},
    // continuity and diode read no range code
    {"9", '*', kNone, "6 0 0 *", 600, 0, "*"},
    {"A", '*', kNone, "6  V", 6, 1, "V"},
};

constexpr std::array<double, 6> kPowersOfTen = {1, 10, 100, 1000, 10000, 100000};

} // namespace

double ScaleByDecimals(double count, int decimals)
{
    if (decimals <= 0)
        return count;
    if (decimals < static_cast<int>(kPowersOfTen.size()))
        return count / kPowersOfTen[static_cast<std::size_t>(decimals)];
    double divisor = 1;
    for (int i = 0; i < decimals; ++i)
        divisor *= 10;
    return count / divisor;
}

double RangeRow::Factor() const { return ScaleByDecimals(1.0, factorDecimals); }

const FunctionRow* FindFunction(char functionCode)
{
    for (const FunctionRow& row : kFunctions)
        if (row.code == functionCode)
            return &row;
    return nullptr;
}

const RangeRow* FindRange(char functionCode, char rangeCode)
{
    const FunctionRow* function = FindFunction(functionCode);
    if (function == nullptr)
        return nullptr;
    for (const RangeRow& row : kRanges) {
        if (std::strchr(row.functions, functionCode) == nullptr)
            continue;
        if (!function->readsRange || row.code == rangeCode)
            return &row;
    }
    return nullptr;
}

const FunctionRow* FunctionRowsBegin() { return std::begin(kFunctions); }
const FunctionRow* FunctionRowsEnd() { return std::end(kFunctions); }
const RangeRow* RangeRowsBegin() { return std::begin(kRanges); }
const RangeRow* RangeRowsEnd() { return std::end(kRanges); }

} // namespace varnex
