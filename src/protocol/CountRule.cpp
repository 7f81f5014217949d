#include "protocol/CountRule.h"

#include <cmath>
#include <cstdlib>

namespace varnex {

namespace {

constexpr double kNotANumber = -999999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal floating-point number: optional sign, digits, optional exponent "E" [sign] digits.
// T never holds a separator, so none is accepted.
bool IsDecimalNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t mantissaStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i == mantissaStart)
        return false;
    if (i == text.size())
        return true;
    if (text[i] != 'E' && text[i] != 'e')
        return false;
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t exponentStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i != exponentStart && i == text.size();
}

} // namespace

double CountFromDigitText(std::string_view text)
{
    if (text.empty() || text.size() > 32 || !IsDecimalNumber(text))
        return 0;
    if (text.find_first_of("Ee") == std::string_view::npos && text.size() <= 16) {
        // The usual case: a sign and up to six digits, read exactly without strtod.
        const bool negative = text[0] == '-';
        double magnitude = 0;
        for (char c : text.substr(negative || text[0] == '+' ? 1 : 0))
            magnitude = magnitude * 10 + (c - '0');
        const double value = negative ? -magnitude : magnitude;
        return value == kNotANumber ? 0 : value;
    }
    char buffer[33];
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    const double value = std::strtod(buffer, nullptr);
    if (!std::isfinite(value) || value == kNotANumber)
        return 0;
    return std::trunc(value);
}

} // namespace varnex
