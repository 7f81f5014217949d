#include "cli/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace varnex::cli {

std::string ShortestDoubleText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

std::string WholeNumberText(double value)
{
    if (!std::isfinite(value))
        return ShortestDoubleText(value);
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::trunc(value),
                                      std::chars_format::fixed, 0);
    std::string text(buffer, result.ptr);
    return text == "-0" ? "0" : text;
}

} // namespace varnex::cli
