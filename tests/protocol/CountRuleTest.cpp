#include "protocol/CountRule.h"

#include <gtest/gtest.h>
#include "support/ParamName.h"

namespace varnex {
namespace {

struct CountCase {
    const char* text;
    double count;
};

class CountRule : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountRule, ReadsTheDigitText)
{
    EXPECT_EQ(CountFromDigitText(GetParam().text), GetParam().count) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CountRule,
    ::testing::Values(CountCase{"123456", 123456}, CountCase{"-123456", -123456}, CountCase{"000012", 12},
                      CountCase{"-000000", 0}, CountCase{"12345", 12345},
                      // not numbers
                      CountCase{"", 0}, CountCase{"-", 0}, CountCase{"12A456", 0}, CountCase{"0vLd", 0},
                      CountCase{"E12345", 0}, CountCase{"12345E", 0}, CountCase{"1E2E34", 0},
                      // the "not a number" marker itself reads as 0
                      CountCase{"-999999", 0}, CountCase{"999999", 999999},
                      // an exponent: the value truncated; too large for a double: 0
                      CountCase{"1E3", 1000}, CountCase{"12E4", 120000}, CountCase{"-3E0102", -3e102},
                      CountCase{"1E2345", 0}, CountCase{"9E9999", 0}),
    [](const auto& info) { return varnex::testing::ParamName(info.param.text); });

} // namespace
} // namespace varnex
