// Cutting the program's bytes into key commands: pairs, split writes, stray bytes.
#include "sim/KeyCommandParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex::sim {
namespace {

std::vector<MeterKey> FeedText(KeyCommandParser& parser, const std::string& text)
{
    return parser.Feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

struct ParseCase {
    const char* name;
    std::string bytes;
    std::vector<MeterKey> keys;
};

class KeyCommandParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(KeyCommandParsing, FindsTheCommands)
{
    KeyCommandParser parser;
    EXPECT_EQ(FeedText(parser, GetParam().bytes), GetParam().keys) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, KeyCommandParsing,
    ::testing::Values(ParseCase{"one pair", "AA", {MeterKey::Dcv}},
                      ParseCase{"last key", "UU", {MeterKey::AcDc}},
                      ParseCase{"two pairs", "AABB", {MeterKey::Dcv, MeterKey::Acv}},
                      ParseCase{"resync on a mismatch", "ABB", {MeterKey::Acv}},
                      ParseCase{"mismatch only", "AB", {}},
                      ParseCase{"stray bytes around", "x\rAAy\nBB", {MeterKey::Dcv, MeterKey::Acv}},
                      ParseCase{"beyond U", "VVZZ", {}},
                      ParseCase{"lower case", "aa", {}},
                      ParseCase{"three of a kind", "AAA", {MeterKey::Dcv}},
                      ParseCase{"four of a kind", "AAAA", {MeterKey::Dcv, MeterKey::Dcv}},
                      ParseCase{"eighth bit dropped by the 7-bit line", "\xC1\xC1", {MeterKey::Dcv}}),
    [](const ::testing::TestParamInfo<ParseCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(KeyCommandParser, APairSplitAcrossWritesCompletesOnItsSecondByte)
{
    KeyCommandParser parser;
    EXPECT_EQ(parser.Feed(static_cast<std::uint8_t>('O')), std::nullopt);
    EXPECT_EQ(parser.Feed(static_cast<std::uint8_t>('O')), MeterKey::Hold);
    EXPECT_EQ(parser.Feed(static_cast<std::uint8_t>('O')), std::nullopt) << "a new pair starts";
}

TEST(KeyCommandParser, CountsTheBytesItThrowsAway)
{
    KeyCommandParser parser;
    FeedText(parser, "AxBBC");  // 'A' unmatched, 'x' stray; 'C' still waits for its pair
    EXPECT_EQ(parser.DiscardedBytes(), 2u);
}

TEST(MeterKeyLetters, EveryCommandLetterNamesItsKey)
{
    for (char letter = 'A'; letter <= 'U'; ++letter) {
        const auto key = KeyFromLetter(letter);
        ASSERT_TRUE(key.has_value()) << letter;
        EXPECT_EQ(LetterOf(*key), letter);
    }
    EXPECT_STREQ(NameOf(MeterKey::Reset), "RST");
    EXPECT_STREQ(NameOf(MeterKey::AcDc), "AC+DC");
    EXPECT_FALSE(KeyFromLetter('@').has_value());
    EXPECT_FALSE(KeyFromLetter('V').has_value());
}

} // namespace
} // namespace varnex::sim
