#include "log/TextDictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

TEST(TextDictionary, EmptyTextIsIdZeroAndNotCounted)
{
    TextDictionary dict;
    EXPECT_EQ(dict.intern(""), TextDictionary::EmptyTextId);
    EXPECT_EQ(dict.text(TextDictionary::EmptyTextId), "");
    EXPECT_EQ(dict.size(), 0u);
}

TEST(TextDictionary, EqualTextsShareOneIdAndDifferentTextsDoNot)
{
    TextDictionary dict;
    const auto dcv = dict.intern("DCV");
    const auto acv = dict.intern("ACV");
    EXPECT_NE(dcv, acv);
    EXPECT_NE(dcv, TextDictionary::EmptyTextId);
    EXPECT_EQ(dict.intern(std::string("DC") + "V"), dcv);
    EXPECT_EQ(dict.text(dcv), "DCV");
    EXPECT_EQ(dict.text(acv), "ACV");
    EXPECT_EQ(dict.size(), 2u);
}

TEST(TextDictionary, KeepsEveryByteIncludingNulAndLatin1)
{
    TextDictionary dict;
    const std::string withNul("a\0b", 3);
    const std::string micro = "\xB5" "A"; // Latin-1 micro sign
    const auto idNul = dict.intern(withNul);
    const auto idA = dict.intern("a");
    const auto idMicro = dict.intern(micro);
    EXPECT_NE(idNul, idA);
    EXPECT_EQ(dict.text(idNul), withNul);
    EXPECT_EQ(dict.text(idMicro), micro);
}

TEST(TextDictionary, CaseMatters)
{
    TextDictionary dict;
    EXPECT_NE(dict.intern("mV"), dict.intern("MV"));
}

TEST(TextDictionary, ManyTextsSurviveTableGrowthAndNewPages)
{
    // 200k texts of up to 20 bytes fill several pages and grow the slot table often.
    TextDictionary dict;
    std::vector<TextDictionary::Id> ids;
    std::vector<std::string_view> earlyViews;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = std::to_string(i * 7919) + "-" + std::to_string(i % 97);
        ids.push_back(dict.intern(text));
        if (i < 100)
            earlyViews.push_back(dict.text(ids.back()));
    }
    EXPECT_EQ(dict.size(), 200000u);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = std::to_string(i * 7919) + "-" + std::to_string(i % 97);
        ASSERT_EQ(dict.text(ids[i]), text) << i;
        ASSERT_EQ(dict.intern(text), ids[i]) << i;
    }
    // Texts never move, so views taken early still read right.
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(earlyViews[i], std::to_string(i * 7919) + "-" + std::to_string(i % 97));
}

TEST(TextDictionary, CutsTextsLongerThanTheLengthByteAllows)
{
    TextDictionary dict;
    const std::string longText(300, 'x');
    const auto id = dict.intern(longText);
    EXPECT_EQ(dict.text(id).size(), TextDictionary::MaxTextBytes);
    EXPECT_EQ(dict.intern(std::string(TextDictionary::MaxTextBytes, 'x')), id);
}

TEST(TextDictionary, ClearForgetsTextsAndGivesMemoryBack)
{
    TextDictionary dict;
    const std::size_t fresh = dict.memoryBytes();
    for (int i = 0; i < 100000; ++i)
        dict.intern("text " + std::to_string(i));
    EXPECT_GT(dict.memoryBytes(), fresh);
    dict.clear();
    EXPECT_EQ(dict.size(), 0u);
    EXPECT_EQ(dict.memoryBytes(), fresh);
    const auto id = dict.intern("again");
    EXPECT_EQ(dict.text(id), "again");
    EXPECT_EQ(dict.size(), 1u);
}

} // namespace
} // namespace varnex
