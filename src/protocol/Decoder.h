#pragma once
// The reading decoder: one pure pass over a 21-character MeterFrame.
//
// The window's LcdDisplayVarnex calls DecodeFrame for every frame an assembler accepts, then
//   1. applies result.lcd to the LCD widgets (Keep / no text / no colour = leave the widget as it is),
//   2. when result.axis is set, calls the chart pager's SetLeftMaximum(axis->maximum) and then
//      SetLeftMinimum(axis->minimum),
//   3. stores result.reading as its CurrentReading, and
//   4. when result.decoded, hands the reading to INDataToTable; otherwise counts a dropped frame.
// The link-alive part of the pass (FrameWatchdogTicks := 0) is the window's, for every frame,
// rejected ones too; the decoder only reports CONok shown / CONokN hidden in lcd.
#include "protocol/LcdElement.h"
#include "protocol/Reading.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace varnex {

enum class Visibility : unsigned char { Keep, Show, Hide };

// Everything one pass sets on the virtual LCD. An element the pass leaves alone is Keep / nullopt.
struct LcdState {
    std::array<Visibility, kLcdElementCount> visibility{};           // all Keep
    std::array<std::optional<std::string>, kLcdElementCount> text{};  // new caption, or keep
    std::array<std::optional<bool>, kTerminalCount> terminalRed{};    // true red, false black, or keep

    Visibility VisibilityOf(LcdElement e) const { return visibility[ToIndex(e)]; }
    const std::optional<std::string>& TextOf(LcdElement e) const { return text[ToIndex(e)]; }
    std::optional<bool> TerminalRed(Terminal t) const { return terminalRed[ToIndex(t)]; }
};

// The chart's vertical axis: plus and minus the range's full scale.
struct AxisBounds {
    double maximum = 0;
    double minimum = 0;
};

struct DecodeResult {
    // false: the frame was rejected (a function code other than "A"/"9" that is not a decimal
    // digit, a range code "A"-"F" for functions "0"-"8", or text that is not 21 characters).
    // Nothing is logged for it; lcd still holds what the pass set before it stopped.
    bool decoded = false;
    // The new CurrentReading. Fields the frame does not set keep the previous frame's values.
    // A rejected frame has already emptied FunctionText and UnitText, as a full pass would.
    Reading reading;
    LcdState lcd;
    std::optional<AxisBounds> axis;       // set when the function/range table has a row
    bool secondOverloadApplied = false;   // all digit slots empty, or D5 "A": overload shown
};

// Decodes frameText (21 upper-case hex digits, "A" first, "D" last) on top of previous.
// decimalSeparator is the locale's separator used in ValueText and Value2Text.
DecodeResult DecodeFrame(std::string_view frameText, const Reading& previous,
                         std::string_view decimalSeparator);

// The same pass writing into caller-owned storage; result.reading must hold the previous reading.
// Lets a long-running caller reuse one result and avoid allocations per frame.
void DecodeFrameInto(std::string_view frameText, std::string_view decimalSeparator,
                     DecodeResult& result);

} // namespace varnex
