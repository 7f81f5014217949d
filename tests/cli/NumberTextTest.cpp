#include "cli/NumberText.h"

#include <gtest/gtest.h>
#include "support/ParamName.h"

namespace varnex::cli {
namespace {

struct DoubleCase {
    double value;
    const char* text;
};

class ShortestDouble : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(ShortestDouble, ReadsBackAndKeepsPointZero)
{
    const std::string text = ShortestDoubleText(GetParam().value);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(std::stod(text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortestDouble,
                         ::testing::Values(DoubleCase{220.0, "220.0"}, DoubleCase{0.0, "0.0"},
                                           DoubleCase{1.23456, "1.23456"}, DoubleCase{-0.22, "-0.22"},
                                           DoubleCase{123456.0 / 100000, "1.23456"},
                                           DoubleCase{-22000, "-22000.0"}, DoubleCase{3e99, "3e+99"},
                                           DoubleCase{0.1 + 0.2, "0.30000000000000004"}),
                         [](const auto& info) {
                             // two cases write the same text: the case's place tells them apart
                             return "Case" + std::to_string(info.index) + "_" +
                                    varnex::testing::ParamName(info.param.text);
                         });

TEST(WholeNumber, PlainDigitsWithoutFraction)
{
    EXPECT_EQ(WholeNumberText(-123456), "-123456");
    EXPECT_EQ(WholeNumberText(22000), "22000");
    EXPECT_EQ(WholeNumberText(-0.0), "0");
    const std::string huge = WholeNumberText(3e102);
    EXPECT_EQ(huge.size(), 103u);
    EXPECT_EQ(huge.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(std::stod(huge), 3e102); // the exact digits of the double nearest 3e102
}

} // namespace
} // namespace varnex::cli
