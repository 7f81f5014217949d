#include "log/SiQuantity.h"

#include <array>
#include <cstdlib>

namespace varnex {

namespace {

struct UnitEntry {
    std::string_view lcd;
    std::string_view plain;
    std::string_view si;
    double scale;
};

// Every unit text the function and range table can give, in the LCD font's letters.
constexpr std::array<UnitEntry, 12> kUnits{{
    {"mV", "mV", "V", 1e-3},
    {"V", "V", "V", 1.0},
    {"mA", "mA", "A", 1e-3},
    {"A", "A", "A", 1.0},
    {"*", "\u03A9", "\u03A9", 1.0},
    {"K*", "k\u03A9", "\u03A9", 1e3},
    {"M*", "M\u03A9", "\u03A9", 1e6},
    {"nF", "nF", "F", 1e-9},
    {"uF", "\u00B5F", "F", 1e-6},
    {"mF", "mF", "F", 1e-3},
    {"KHz", "kHz", "Hz", 1e3},
    {"MHz", "MHz", "Hz", 1e6},
}};

const UnitEntry* FindUnit(std::string_view lcd)
{
    // Rows loaded from files may carry trailing blanks.
    while (!lcd.empty() && lcd.back() == ' ')
        lcd.remove_suffix(1);
    for (const UnitEntry& entry : kUnits)
        if (entry.lcd == lcd)
            return &entry;
    return nullptr;
}

bool IsOverloadText(std::string_view text)
{
    // The overload digits are "v", "@", "d" and "--"; the value text of an overload
    // carries an "L" in place of the third digit.
    return text.find_first_of("v@dL") != std::string_view::npos ||
           text.find("--") != std::string_view::npos;
}

// A plain decimal number: optional sign, digits, at most one separator. Nothing else.
std::optional<double> ParseNumber(std::string_view text, std::string_view separator)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    char buffer[64];
    std::size_t length = 0;
    bool digits = false, point = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        buffer[length++] = text[i++];
    while (i < text.size()) {
        if (length + 2 >= sizeof buffer)
            return std::nullopt;
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            buffer[length++] = c;
            digits = true;
            ++i;
        } else if (!point && !separator.empty() && text.substr(i, separator.size()) == separator) {
            buffer[length++] = '.';
            point = true;
            i += separator.size();
        } else if (!point && (c == '.' || c == ',')) {
            // A row loaded from a file written under another locale.
            buffer[length++] = '.';
            point = true;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    buffer[length] = '\0';
    return std::strtod(buffer, nullptr);
}

} // namespace

std::string PlainUnitText(std::string_view lcdUnitText)
{
    if (const UnitEntry* entry = FindUnit(lcdUnitText))
        return std::string(entry->plain);
    return std::string(lcdUnitText);
}

SiQuantity ToSiQuantity(std::string_view valueText, std::string_view lcdUnitText,
                        std::string_view decimalSeparator)
{
    SiQuantity q;
    const UnitEntry* unit = FindUnit(lcdUnitText);
    q.plainUnit = unit ? std::string(unit->plain) : std::string(lcdUnitText);
    if (unit)
        q.siUnit = std::string(unit->si);
    q.overload = IsOverloadText(valueText);
    if (q.overload)
        return q;
    if (const std::optional<double> number = ParseNumber(valueText, decimalSeparator))
        q.value = *number * (unit ? unit->scale : 1.0);
    return q;
}

} // namespace varnex
