#pragma once
// Builds MeterFrame texts for tests, position by position.
#include <cassert>
#include <string>

namespace varnex::test {

struct TestFrame {
    char function = '0';
    char range = '1';
    char sign = '0';
    std::string main = "000000E";  // positions 5-11
    std::string second = "00000";  // positions 12-16 (no point marker: blank)
    char p17 = '0';
    char p18 = '0';
    char p19 = '2';                // AUTO
    char p20 = '0';

    std::string Text() const
    {
        assert(main.size() == 7 && second.size() == 5);
        std::string text = "A";
        text += function;
        text += range;
        text += sign;
        text += main;
        text += second;
        text += p17;
        text += p18;
        text += p19;
        text += p20;
        text += 'D';
        assert(text.size() == 21);
        return text;
    }
};

} // namespace varnex::test
