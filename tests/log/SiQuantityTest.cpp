#include "log/SiQuantity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace varnex {
namespace {

struct SiCase {
    const char* name;
    const char* value;
    const char* unit;
    const char* separator;
    bool hasValue;
    double si;
    const char* siUnit;
    const char* plain;
    bool overload;
};

class SiQuantityCases : public ::testing::TestWithParam<SiCase> {};

TEST_P(SiQuantityCases, ValueUnitAndOverload)
{
    const SiCase& c = GetParam();
    const SiQuantity q = ToSiQuantity(c.value, c.unit, c.separator);
    EXPECT_EQ(q.overload, c.overload);
    EXPECT_EQ(q.siUnit, c.siUnit);
    EXPECT_EQ(q.plainUnit, c.plain);
    ASSERT_EQ(q.value.has_value(), c.hasValue);
    if (c.hasValue) {
        EXPECT_NEAR(*q.value, c.si, std::abs(c.si) * 1e-12 + 1e-15);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Units, SiQuantityCases,
    ::testing::Values(
        SiCase{"Millivolts", "123.45", "mV", ".", true, 0.12345, "V", "mV", false},
        SiCase{"Volts", "-1.23456", "V", ".", true, -1.23456, "V", "V", false},
        SiCase{"CommaSeparator", "1,23456", "V", ",", true, 1.23456, "V", "V", false},
        SiCase{"Milliamps", "0.0150", "mA", ".", true, 1.5e-5, "A", "mA", false},
        SiCase{"Ohms", "199.99", "*", ".", true, 199.99, "\u03A9", "\u03A9", false},
        SiCase{"Kiloohms", "1.5000", "K*", ".", true, 1500.0, "\u03A9", "k\u03A9", false},
        SiCase{"Megaohms", "12.000", "M*", ".", true, 1.2e7, "\u03A9", "M\u03A9", false},
        SiCase{"Nanofarads", "4.700", "nF", ".", true, 4.7e-9, "F", "nF", false},
        SiCase{"Microfarads", "10.00", "uF", ".", true, 1e-5, "F", "\u00B5F", false},
        SiCase{"Kilohertz", "50.000", "KHz", ".", true, 5e4, "Hz", "kHz", false},
        SiCase{"Megahertz", "1.000", "MHz", ".", true, 1e6, "Hz", "MHz", false},
        SiCase{"Overload", "0.vL000", "K*", ".", false, 0, "\u03A9", "k\u03A9", true},
        SiCase{"NegativeOverload", "-0.vL000", "V", ".", false, 0, "V", "V", true},
        SiCase{"DashesAreOverload", "----", "V", ".", false, 0, "V", "V", true},
        SiCase{"UnknownUnitKeepsText", "1.0", "dB", ".", true, 1.0, "", "dB", false},
        SiCase{"EmptyValueIsNoNumber", "", "V", ".", false, 0, "V", "V", false},
        SiCase{"TwoSeparatorsIsNoNumber", "1.2.3", "V", ".", false, 0, "V", "V", false},
        SiCase{"TrailingBlanksOfALoadedUnit", "2.5", "K*  ", ".", true, 2500.0, "\u03A9", "k\u03A9", false}),
    [](const ::testing::TestParamInfo<SiCase>& info) { return std::string(info.param.name); });

TEST(PlainUnitText, MatchesTheQuantitysUnit)
{
    EXPECT_EQ(PlainUnitText("K*"), "k\u03A9");
    EXPECT_EQ(PlainUnitText("KHz"), "kHz");
    EXPECT_EQ(PlainUnitText(""), "");
}

} // namespace
} // namespace varnex
