#pragma once
// Readable, stable names for parameterised tests, made from a case's own text: gtest takes
// letters, digits and '_' only, and a name must stay the same from run to run so that
// `ctest -R` finds a failing case again.
#include <cctype>
#include <string>
#include <string_view>

namespace varnex::testing {

inline std::string ParamName(std::string_view text)
{
    if (text.empty())
        return "Empty";
    std::string name;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (c == '-')
            name += "Minus";
        else if (c == '+')
            name += "Plus";
        else if (c == '.')
            name += "Dot";
        else
            name += '_';
    }
    return name;
}

} // namespace varnex::testing
