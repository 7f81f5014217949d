#pragma once
// What the virtual LCD shows, as plain data: each element's visibility and caption and each
// terminal's colour. Starts as the panel does before the first frame and takes each pass's
// LcdState on top, so the LCD's behaviour over a sequence of frames can be checked (and
// mirrored) without widgets.
#include "protocol/Decoder.h"

#include <array>
#include <string>

namespace varnex {

struct LcdPanelState {
    std::array<bool, kLcdElementCount> visible{};
    std::array<std::string, kLcdElementCount> text{};
    std::array<bool, kTerminalCount> terminalRed{};

    // The panel before any frame: "1" and five "9"s, four "9"s in the second display, the
    // not-linked sign, every other sign hidden, all terminals black.
    static LcdPanelState Initial();

    // Applies one pass: Keep / no caption / no colour leave the element as it is.
    void Apply(const LcdState& pass);

    bool Visible(LcdElement e) const { return visible[ToIndex(e)]; }
    const std::string& Text(LcdElement e) const { return text[ToIndex(e)]; }
    bool Red(Terminal t) const { return terminalRed[ToIndex(t)]; }
};

} // namespace varnex
