#include "protocol/FrameEncoder.h"

namespace varnex {

namespace {

constexpr std::size_t kDataBytes = 19;

std::uint8_t NibbleOf(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::uint8_t>(c - 'a' + 10);
    return 0;
}

char DigitAt(const std::string& digits, std::size_t index)
{
    return index < digits.size() ? digits[index] : '0';
}

// Frame positions 2-20 (data bytes 1-19) as nibble characters.
std::string DataNibbles(const DisplayState& state)
{
    std::string text(kDataBytes, '0');
    auto at = [&](int position) -> char& { return text[static_cast<std::size_t>(position - 2)]; };

    at(2) = state.function;
    at(3) = state.range;
    at(4) = state.negative ? 'D' : '0';

    // main display, positions 5-11: the point marker, the six digits around it
    const int point = (state.mainPoint >= 0 && state.mainPoint <= 4) ? 6 + state.mainPoint : 11;
    std::size_t digit = 0;
    for (int p = 5; p <= 11; ++p)
        at(p) = p == point ? 'E' : DigitAt(state.mainDigits, digit++);
    if (state.overload)
        at(5) = 'F';

    // second display, positions 12-16; blank means no point marker at 13-15
    if (!state.secondDigits.empty()) {
        const int secondPoint = (state.secondPoint >= 1 && state.secondPoint <= 3) ? 12 + state.secondPoint : 13;
        std::size_t s = 0;
        for (int p = 12; p <= 16; ++p)
            at(p) = p == secondPoint ? 'E' : DigitAt(state.secondDigits, s++);
    }

    at(18) = "0123456789ABCDEF"[state.status18 & 0x0F];
    at(19) = "0123456789ABCDEF"[state.status19 & 0x0F];
    at(20) = "0123456789ABCDEF"[state.status20 & 0x0F];
    return text;
}

} // namespace

WireFrame EncodeFrame(const DisplayState& state)
{
    const std::string nibbles = DataNibbles(state);
    WireFrame frame{};
    for (std::size_t i = 0; i < kDataBytes; ++i)
        frame[i] = static_cast<std::uint8_t>(0x30 | NibbleOf(nibbles[i]));
    frame[19] = 0x0D;
    frame[20] = 0x0A;
    return frame;
}

std::string EncodeFrameText(const DisplayState& state)
{
    std::string text = "A";
    for (char c : DataNibbles(state))
        text += "0123456789ABCDEF"[NibbleOf(c)];
    text += 'D';
    return text;
}

} // namespace varnex
