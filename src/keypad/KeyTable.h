#pragma once
// The on-screen copy of the meter's keys: one row of data per key. The window builds
// its buttons from this table; the router sends each key's code.
#include <array>
#include <cstddef>
#include <string_view>

namespace varnex {

enum class KeyFace { Text, Picture };
enum class KeyTrigger { LeftClick, RightClick };

struct KeyDefinition {
    std::string_view code;         // two capital letters, "AA" .. "UU"
    std::string_view controlName;  // dcv, ACV, ... Shape29
    KeyFace face;
    std::string_view faceText;     // the caption, or what the picture shows
    int top;                       // offsets inside the "Keyboard" group box
    int left;
    int width;
    int height;
    KeyTrigger trigger;
};

inline constexpr int kKeyboardWidth = 655;
inline constexpr int kKeyboardHeight = 113;
inline constexpr std::string_view kKeyboardCaption = "Keyboard";
inline constexpr std::string_view kCalibrationCode = "TT";
inline constexpr std::string_view kDciCode = "CC";

// The 21 keys in code order.
const std::array<KeyDefinition, 21>& KeyTable();

const KeyDefinition* FindKeyByCode(std::string_view code);
const KeyDefinition* FindKeyByControl(std::string_view controlName);

// The label under the calibration circle.
struct CalibrationLabel {
    std::string_view text;
    int top;
    int left;
};
inline constexpr CalibrationLabel kCalibrationLabel{"CAL", 94, 420};

} // namespace varnex
