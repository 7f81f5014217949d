#pragma once
// A logged reading as a number a program can use: the value text and the LCD-font unit
// text ("K*", "KHz", "uF") turned into SI base units (V, A, Ω, F, Hz) and a plain unit
// text ("kΩ", "kHz", "µF") in UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace varnex {

struct SiQuantity {
    // The reading in SI base units; empty on an overload or a text that is no number.
    std::optional<double> value;
    // "V", "A", "Ω", "F", "Hz" (UTF-8), or empty when the unit text is unknown or empty.
    std::string siUnit;
    // The unit as people write it: "mV", "kΩ", "MΩ", "µF", "kHz"; unknown texts unchanged.
    std::string plainUnit;
    // The meter showed its overload form (the "OL" digits of the LCD font).
    bool overload = false;
};

// `decimalSeparator` is the one the value text was formed with (the system's).
SiQuantity ToSiQuantity(std::string_view valueText, std::string_view lcdUnitText,
                        std::string_view decimalSeparator);

// Only the unit part of ToSiQuantity: "K*" -> "kΩ".
std::string PlainUnitText(std::string_view lcdUnitText);

} // namespace varnex
