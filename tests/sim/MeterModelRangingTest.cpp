// Auto-ranging, manual ranges and the overload display.
#include "sim/DisplayFormatter.h"
#include "sim/MeterModel.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>
#include <sstream>
#include "support/ParamName.h"

namespace varnex::sim {
namespace {

using testing::CountOf;
using testing::Seconds;
using testing::ValueOf;

// Each function's own bench signal, sampled over three minutes (ohms include open leads):
// in AUTO the count never passes the range's full scale, and the range is the lowest one
// the value does not fit comfortably below.
class AutoRangeOnBenchSignal : public ::testing::TestWithParam<MeterKey> {};

TEST_P(AutoRangeOnBenchSignal, KeepsTheCountWithinFullScale)
{
    MeterModel model(21);
    model.Press(GetParam());
    const RangeList ranges = RangesOf(model.Function());
    int overloads = 0;
    for (int i = 0; i < 450; ++i) {
        const SimTime t = Seconds(i * 0.4);
        const DisplayState shown = model.Sample(t);
        const RangeSpec& range = model.Range();
        ASSERT_EQ(shown.range, range.code);
        if (shown.overload) {
            ++overloads;
            EXPECT_TRUE(model.Function() == MeterFunction::Ohms && SignalSource::LeadsOpenAt(t))
                << "overload only on open leads, at " << ToSeconds(t) << " s";
            EXPECT_EQ(model.RangeIndex(), ranges.size - 1) << "open leads send AUTO to the top range";
            continue;
        }
        EXPECT_LE(CountOf(shown), range.maxCount);
        if (model.RangeIndex() > 0) {
            const RangeSpec& lower = ranges[model.RangeIndex() - 1];
            EXPECT_GT(lower.CountOf(ValueOf(shown, range)), lower.DownStepCount())
                << "a lower range would have shown " << shown.mainDigits;
        }
    }
    if (model.Function() == MeterFunction::Ohms) {
        EXPECT_GT(overloads, 0) << "open leads happen every minute";
    }
}

INSTANTIATE_TEST_SUITE_P(EachFunction, AutoRangeOnBenchSignal,
                         ::testing::Values(MeterKey::Dcv, MeterKey::Acv, MeterKey::Dci, MeterKey::Aci, MeterKey::Ohm,
                                           MeterKey::Cap, MeterKey::Hz, MeterKey::Continuity, MeterKey::Diode),
                         [](const auto& info) {
                             const char key = static_cast<char>(info.param);
                             return std::string("Key") + key + key;
                         });

// A meter whose input is whatever the test sets.
struct DrivenMeter {
    MeterModel model{1};
    double volts = 0;
    DrivenMeter()
    {
        model.ConnectInput([this](MeterFunction, SimTime) { return SignalSample{volts, 0}; });
    }
    DisplayState At(double v)
    {
        volts = v;
        return model.Sample(SimTime{0});
    }
};

TEST(AutoRangeSweep, StepsUpPastFullScaleAndDownOnlyWellBelowIt)
{
    struct Step {
        double volts;
        char range;
        const char* digits;
    };
    // Rising through 200 mV, then falling: 0.2 V stays on 2 V (gap against flapping), 0.19 V goes down.
    const std::vector<Step> sweep = {
        {0.15, '0', "150000"},   {0.219999, '0', "219999"}, {0.22, '1', "022000"}, {0.2, '1', "020000"},
        {0.19, '0', "190000"},   {15.0, '2', "150000"},     {150.0, '3', "150000"}, {999.99, '4', "099999"},
        {1000.0, '4', "100000"}, {1.5, '1', "150000"},      {0.0, '0', "000000"},
    };
    DrivenMeter meter;
    for (const Step& s : sweep) {
        const DisplayState shown = meter.At(s.volts);
        EXPECT_EQ(shown.range, s.range) << s.volts << " V";
        EXPECT_EQ(shown.mainDigits, s.digits) << s.volts << " V";
        EXPECT_FALSE(shown.overload) << s.volts << " V";
    }
}

TEST(AutoRangeSweep, BeyondTheTopRangeShowsOverloadWithTheSign)
{
    DrivenMeter meter;
    DisplayState shown = meter.At(1500.0);
    EXPECT_TRUE(shown.overload);
    EXPECT_EQ(shown.range, '4');
    EXPECT_FALSE(shown.negative);
    EXPECT_EQ(EncodeFrameText(shown)[4], 'F') << "F at position 5";

    shown = meter.At(-1500.0);
    EXPECT_TRUE(shown.overload);
    EXPECT_TRUE(shown.negative);
}

TEST(AutoRangeSweep, NegativeValuesRangeOnTheirMagnitude)
{
    DrivenMeter meter;
    const DisplayState shown = meter.At(-5.0);
    EXPECT_EQ(shown.range, '2');
    EXPECT_TRUE(shown.negative);
    EXPECT_EQ(shown.mainDigits, "050000");
    EXPECT_EQ(shown.mainPoint, 1) << "-05.0000";
}

TEST(ManualRange, ShowsOverloadBeyondFullScaleAndDigitsWithin)
{
    MeterModel model(1);
    model.Sample(Seconds(1));  // DCV 1.23 V on 2 V
    model.Press(MeterKey::Down);
    DisplayState shown = model.Sample(Seconds(2));
    EXPECT_EQ(shown.range, '0');
    EXPECT_TRUE(shown.overload) << "1.23 V on the 200 mV range";
    EXPECT_EQ(shown.status19 & 0x2, 0) << "MANU";

    model.Press(MeterKey::Up);
    model.Press(MeterKey::Up);
    shown = model.Sample(Seconds(3));
    EXPECT_EQ(shown.range, '2');
    EXPECT_FALSE(shown.overload);
    EXPECT_EQ(shown.mainPoint, 1);
    EXPECT_EQ(shown.mainDigits.substr(0, 4), "0123") << "01.2345 on the 20 V range";
}

struct FormatCase {
    double value;
    RangeSpec range;
    const char* digits;
    bool negative;
    bool fits;
};

class MainDisplayFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(MainDisplayFormat, DigitsSignAndOverload)
{
    const FormatCase c = GetParam();
    DisplayState state;
    EXPECT_EQ(FormatMain(c.value, c.range, state), c.fits);
    EXPECT_EQ(state.overload, !c.fits);
    EXPECT_EQ(state.mainDigits, c.digits);
    EXPECT_EQ(state.negative, c.negative);
    EXPECT_EQ(state.mainPoint, c.range.point);
    EXPECT_EQ(state.range, c.range.code);
}

constexpr RangeSpec k2V{'1', 1.0, 0, 219999};
constexpr RangeSpec k200mV{'0', 1e-3, 2, 219999};
constexpr RangeSpec k1000V{'4', 1.0, 3, 100000};
constexpr RangeSpec k60nF{'1', 1e-9, 3, 5999};

INSTANTIATE_TEST_SUITE_P(
    Values, MainDisplayFormat,
    ::testing::Values(FormatCase{1.23456, k2V, "123456", false, true}, FormatCase{-1.23456, k2V, "123456", true, true},
                      FormatCase{-0.000001, k2V, "000000", false, true},  // rounds to zero: no minus sign
                      FormatCase{2.19999, k2V, "219999", false, true}, FormatCase{2.2, k2V, "000000", false, false},
                      FormatCase{0.0123456, k200mV, "012346", false, true},
                      FormatCase{1000.0, k1000V, "100000", false, true},
                      FormatCase{1000.01, k1000V, "000000", false, false},
                      FormatCase{47e-9, k60nF, "004700", false, true},
                      FormatCase{std::numeric_limits<double>::infinity(), k2V, "000000", false, false},
                      FormatCase{-std::numeric_limits<double>::infinity(), k2V, "000000", true, false},
                      FormatCase{std::numeric_limits<double>::quiet_NaN(), k2V, "000000", false, false}),
    [](const auto& info) {
        std::ostringstream value;
        value << info.param.value;
        return varnex::testing::ParamName(value.str()) + "_Range" + info.param.range.code;
    });

TEST(SecondDisplayFormat, KilohertzWithThePointMovingRight)
{
    struct Case {
        double hz;
        const char* digits;
        int point;
    };
    for (const Case c : {Case{50.0, "0050", 1}, Case{1000.0, "1000", 1}, Case{9999.4, "9999", 1},
                         Case{12346.0, "1235", 2}, Case{123456.0, "1235", 3}, Case{999940.0, "9999", 3}}) {
        DisplayState state;
        FormatSecondKHz(c.hz, state);
        EXPECT_EQ(state.secondDigits, c.digits) << c.hz << " Hz";
        EXPECT_EQ(state.secondPoint, c.point) << c.hz << " Hz";
    }
    for (const double blank : {0.0, -50.0, 2e6}) {
        DisplayState state;
        state.secondDigits = "1234";
        FormatSecondKHz(blank, state);
        EXPECT_TRUE(state.secondDigits.empty()) << blank << " Hz";
    }
}

} // namespace
} // namespace varnex::sim
