#pragma once
// The inverse of the decoder: builds the 21 bytes the meter sends for one display state
// (19 data bytes, CR, LF). Data bytes carry 0x30 | nibble, as the meter sends them.
#include <array>
#include <cstdint>
#include <string>

namespace varnex {

struct DisplayState {
    char function = '0';          // function code: '0'..'9' or 'A' (any hex digit is encoded as given)
    char range = '1';             // range code: '0'..'9' (any hex digit is encoded as given)
    bool negative = false;        // sign nibble "D"
    std::string mainDigits = "000000"; // the six main digits D0..D5 as hex characters ('0'-'9')
    int mainPoint = -1;           // -1: no point (the "E" sits at position 11); 0..4: point k lit (position 6+k)
    bool overload = false;        // "F" at position 5 (the meter's OL display)
    std::string secondDigits;     // "" (second display blank) or four hex characters S0..S3
    int secondPoint = 1;          // 1..3: second-display point k lit (position 12+k); used when secondDigits is set
    std::uint8_t status18 = 0;    // nibble at position 18: bit 8 HOLD; 4 MAX, 2 MIN, 1 AVG, 7 ALL
    std::uint8_t status19 = 0x2;  // nibble at position 19: bit 2 AUTO (clear: MANU), bit 1 REL
    std::uint8_t status20 = 0;    // nibble at position 20: bit 8 RCL, 4 STO, 2 CAL, 1 SETUP
};

using WireFrame = std::array<std::uint8_t, 21>;

// The 21 wire bytes (19 data bytes, 0x0D, 0x0A) for the state.
WireFrame EncodeFrame(const DisplayState& state);

// The 21-character FrameText the assemblers build from those bytes ("A", 19 data nibbles, "D").
std::string EncodeFrameText(const DisplayState& state);

} // namespace varnex
