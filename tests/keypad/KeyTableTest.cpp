#include "keypad/KeyTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace varnex {
namespace {

TEST(KeyTable, CodesRunAAtoUUEachALetterTwice)
{
    char letter = 'A';
    for (const KeyDefinition& key : KeyTable()) {
        ASSERT_EQ(key.code.size(), 2u);
        EXPECT_EQ(key.code[0], letter);
        EXPECT_EQ(key.code[1], letter);
        ++letter;
    }
    EXPECT_EQ(letter, 'V');
}

TEST(KeyTable, ControlsFacesAndPlaces)
{
    struct Expect {
        const char* code;
        const char* control;
        KeyFace face;
        const char* text;
        int top, left, width, height;
    };
    const Expect rows[] = {
        {"AA", "dcv", KeyFace::Text, "DCV", 24, 464, 57, 33},
        {"CC", "DCI", KeyFace::Text, "DCI", 24, 592, 57, 33},
        {"EE", "oumu", KeyFace::Picture, "ohm sign", 24, 336, 57, 33},
        {"FF", "TEMP", KeyFace::Text, "RST", 72, 592, 57, 33},
        {"HH", "Hz", KeyFace::Text, "Hz", 24, 206, 59, 33},
        {"LL", "UP", KeyFace::Picture, "triangle up", 24, 8, 65, 25},
        {"MM", "AUTO", KeyFace::Picture, "AUTO over a return arrow", 56, 8, 65, 25},
        {"NN", "DOWN", KeyFace::Picture, "triangle down", 88, 8, 65, 25},
        {"RR", "MAX", KeyFace::Text, "MAX MIN", 72, 272, 57, 33},
        {"TT", "Shape29", KeyFace::Picture, "grey circle", 80, 398, 65, 11},
        {"UU", "SpeedButton1", KeyFace::Text, "AC+DC", 72, 464, 57, 33},
    };
    for (const auto& e : rows) {
        const KeyDefinition* key = FindKeyByCode(e.code);
        ASSERT_NE(key, nullptr) << e.code;
        EXPECT_EQ(key->controlName, e.control);
        EXPECT_EQ(key->face, e.face) << e.code;
        EXPECT_EQ(key->faceText, e.text);
        EXPECT_EQ(key->top, e.top) << e.code;
        EXPECT_EQ(key->left, e.left) << e.code;
        EXPECT_EQ(key->width, e.width) << e.code;
        EXPECT_EQ(key->height, e.height) << e.code;
        EXPECT_EQ(FindKeyByControl(e.control), key);
    }
    EXPECT_EQ(FindKeyByCode("VV"), nullptr);
    EXPECT_EQ(FindKeyByControl("nothing"), nullptr);
}

TEST(KeyTable, OnlyCalibrationActsOnTheRightButton)
{
    for (const KeyDefinition& key : KeyTable())
        EXPECT_EQ(key.trigger == KeyTrigger::RightClick, key.code == "TT") << key.controlName;
}

TEST(KeyTable, KeysFitTheKeyboardAndDoNotOverlap)
{
    const auto& keys = KeyTable();
    for (const KeyDefinition& key : keys) {
        EXPECT_GE(key.left, 0);
        EXPECT_LE(key.left + key.width, kKeyboardWidth) << key.controlName;
        EXPECT_LE(key.top + key.height, kKeyboardHeight) << key.controlName;
    }
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            const auto& a = keys[i];
            const auto& b = keys[j];
            const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                               a.top + a.height <= b.top || b.top + b.height <= a.top;
            EXPECT_TRUE(apart) << a.controlName << " / " << b.controlName;
        }
}

} // namespace
} // namespace varnex
