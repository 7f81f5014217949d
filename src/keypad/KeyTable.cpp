#include "keypad/KeyTable.h"

namespace varnex {

namespace {
constexpr int kRow1 = 24;
constexpr int kRow2 = 72;
constexpr int kKeyW = 57;
constexpr int kKeyH = 33;
constexpr int kRangeW = 65;
constexpr int kRangeH = 25;
constexpr int kRangeLeft = 8;

constexpr KeyDefinition text(std::string_view code, std::string_view control, std::string_view caption, int top,
                             int left, int width = kKeyW)
{
    return {code, control, KeyFace::Text, caption, top, left, width, kKeyH, KeyTrigger::LeftClick};
}
constexpr KeyDefinition picture(std::string_view code, std::string_view control, std::string_view subject,
                                int top, int left, int width = kKeyW, int height = kKeyH)
{
    return {code, control, KeyFace::Picture, subject, top, left, width, height, KeyTrigger::LeftClick};
}

constexpr std::array<KeyDefinition, 21> kKeys = {{
    text("AA", "dcv", "DCV", kRow1, 464),
    text("BB", "ACV", "ACV", kRow1, 400),
    text("CC", "DCI", "DCI", kRow1, 592),
    text("DD", "ACI", "ACI", kRow1, 528),
    picture("EE", "oumu", "ohm sign", kRow1, 336),
    text("FF", "TEMP", "RST", kRow2, 592),
    picture("GG", "CAP", "capacitor", kRow1, 272),
    text("HH", "Hz", "Hz", kRow1, 206, 59),
    picture("II", "duanlou", "continuity beeper", kRow1, 80),
    picture("JJ", "DIODE", "diode", kRow1, 144),
    text("KK", "SETUP", "SETUP", kRow2, 528),
    picture("LL", "UP", "triangle up", 24, kRangeLeft, kRangeW, kRangeH),
    picture("MM", "AUTO", "AUTO over a return arrow", 56, kRangeLeft, kRangeW, kRangeH),
    picture("NN", "DOWN", "triangle down", 88, kRangeLeft, kRangeW, kRangeH),
    text("OO", "HOLD", "HOLD", kRow2, 80),
    text("PP", "RCL", "RCL", kRow2, 144),
    text("QQ", "STO", "STO", kRow2, 208),
    text("RR", "MAX", "MAX MIN", kRow2, 272),
    text("SS", "REL", "REL", kRow2, 336),
    {"TT", "Shape29", KeyFace::Picture, "grey circle", 80, 398, 65, 11, KeyTrigger::RightClick},
    text("UU", "SpeedButton1", "AC+DC", kRow2, 464),
}};
} // namespace

const std::array<KeyDefinition, 21>& KeyTable() { return kKeys; }

const KeyDefinition* FindKeyByCode(std::string_view code)
{
    for (const auto& key : kKeys)
        if (key.code == code)
            return &key;
    return nullptr;
}

const KeyDefinition* FindKeyByControl(std::string_view controlName)
{
    for (const auto& key : kKeys)
        if (key.controlName == controlName)
            return &key;
    return nullptr;
}

} // namespace varnex
