// The meter's answers to its front keys: function, range and mode changes, and the status
// nibbles at frame positions 18-20 that show them.
#include "sim/MeterModel.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace varnex::sim {
namespace {

using testing::CountOf;
using testing::Seconds;

struct FunctionKeyCase {
    MeterKey key;
    MeterFunction before;
    MeterFunction after;
};

class FunctionKeys : public ::testing::TestWithParam<FunctionKeyCase> {};

TEST_P(FunctionKeys, SelectTheFunctionInAutoWithFrameCode)
{
    const FunctionKeyCase c = GetParam();
    MeterModel model(7);
    model.Press(MeterKey::Reset);
    // reach the starting function, in MANU, to see the key bring AUTO back
    switch (c.before) {
    case MeterFunction::DcAmps: model.Press(MeterKey::Dci); break;
    case MeterFunction::Ohms: model.Press(MeterKey::Ohm); break;
    case MeterFunction::AcVolts: model.Press(MeterKey::Acv); break;
    default: break;
    }
    ASSERT_EQ(model.Function(), c.before);
    model.Press(MeterKey::Up);

    model.Press(c.key);

    EXPECT_EQ(model.Function(), c.after);
    const DisplayState shown = model.Sample(Seconds(1));
    EXPECT_EQ(shown.function, CodeOf(c.after));
    if (c.after != c.before) {
        EXPECT_TRUE(model.AutoRanging());
        EXPECT_EQ(shown.status19 & 0x2, 0x2) << "AUTO bit";
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachKey, FunctionKeys,
    ::testing::Values(FunctionKeyCase{MeterKey::Dcv, MeterFunction::Ohms, MeterFunction::DcVolts},
                      FunctionKeyCase{MeterKey::Acv, MeterFunction::DcVolts, MeterFunction::AcVolts},
                      FunctionKeyCase{MeterKey::Dci, MeterFunction::DcVolts, MeterFunction::DcAmps},
                      FunctionKeyCase{MeterKey::Aci, MeterFunction::DcVolts, MeterFunction::AcAmps},
                      FunctionKeyCase{MeterKey::Ohm, MeterFunction::DcVolts, MeterFunction::Ohms},
                      FunctionKeyCase{MeterKey::Reset, MeterFunction::Ohms, MeterFunction::DcVolts},
                      FunctionKeyCase{MeterKey::Cap, MeterFunction::DcVolts, MeterFunction::Capacitance},
                      FunctionKeyCase{MeterKey::Hz, MeterFunction::DcVolts, MeterFunction::Frequency},
                      FunctionKeyCase{MeterKey::Continuity, MeterFunction::DcVolts, MeterFunction::Continuity},
                      FunctionKeyCase{MeterKey::Diode, MeterFunction::DcVolts, MeterFunction::Diode},
                      FunctionKeyCase{MeterKey::AcDc, MeterFunction::DcVolts, MeterFunction::AcDcVolts},
                      FunctionKeyCase{MeterKey::AcDc, MeterFunction::AcVolts, MeterFunction::AcDcVolts},
                      FunctionKeyCase{MeterKey::AcDc, MeterFunction::DcAmps, MeterFunction::AcDcAmps},
                      FunctionKeyCase{MeterKey::AcDc, MeterFunction::Ohms, MeterFunction::Ohms}),
    [](const auto& info) {
        // the key's command ("AA") and the function codes before and after
        const char key = static_cast<char>(info.param.key);
        return std::string("Key") + key + key + "_Function" + static_cast<char>(info.param.before) + "To" +
               static_cast<char>(info.param.after);
    });

TEST(MeterModelRangeKeys, UpAndDownStepTheRangeInManuAndStopAtTheEnds)
{
    MeterModel model(1);
    model.Press(MeterKey::Ohm);  // six ranges, '0'..'5'
    model.Sample(Seconds(1));    // 4.7 kohm: AUTO picks 20 kohm
    ASSERT_EQ(model.Range().code, '2');

    model.Press(MeterKey::Up);
    EXPECT_FALSE(model.AutoRanging());
    EXPECT_EQ(model.Range().code, '3');
    EXPECT_EQ(model.Sample(Seconds(2)).status19 & 0x2, 0) << "MANU: AUTO bit clear";

    model.Press(MeterKey::Up);
    model.Press(MeterKey::Up);
    model.Press(MeterKey::Up);
    EXPECT_EQ(model.Range().code, '5') << "UP stops at the top range";

    for (int i = 0; i < 8; ++i)
        model.Press(MeterKey::Down);
    EXPECT_EQ(model.Range().code, '0') << "DOWN stops at the lowest range";
    EXPECT_EQ(model.Sample(Seconds(3)).range, '0') << "MANU keeps the range even in overload";

    model.Press(MeterKey::Auto);
    EXPECT_TRUE(model.AutoRanging());
    const DisplayState shown = model.Sample(Seconds(4));
    EXPECT_EQ(shown.status19 & 0x2, 0x2);
    EXPECT_EQ(shown.range, '2') << "AUTO finds the range again";
}

TEST(MeterModelRangeKeys, SingleRangeFunctionsStayOnTheirRange)
{
    MeterModel model(1);
    model.Press(MeterKey::Diode);
    model.Press(MeterKey::Up);
    EXPECT_EQ(model.Range().code, '0');
    model.Press(MeterKey::Down);
    EXPECT_EQ(model.Range().code, '0');
    EXPECT_FALSE(model.AutoRanging());
}

TEST(MeterModelHold, FreezesTheDisplayAndSetsBit8OfPosition18)
{
    MeterModel model(3);
    const DisplayState before = model.Sample(Seconds(1));
    model.Press(MeterKey::Hold);
    for (int i = 2; i < 40; ++i) {
        const DisplayState held = model.Sample(Seconds(i));
        EXPECT_EQ(held.mainDigits, before.mainDigits) << "at " << i << " s";
        EXPECT_EQ(held.range, before.range);
        EXPECT_EQ(held.status18 & 0x8, 0x8);
    }

    model.Press(MeterKey::Hold);
    std::set<std::string> live;
    for (int i = 40; i < 60; ++i) {
        const DisplayState shown = model.Sample(Seconds(i));
        EXPECT_EQ(shown.status18 & 0x8, 0);
        live.insert(shown.mainDigits);
    }
    EXPECT_GT(live.size(), 1u) << "released, the reading moves again";
}

TEST(MeterModelHold, KeepsTheAnnunciatorsLive)
{
    MeterModel model(3);
    model.Sample(Seconds(1));
    model.Press(MeterKey::Hold);
    model.Press(MeterKey::Setup);
    model.Press(MeterKey::MaxMin);
    const DisplayState held = model.Sample(Seconds(2));
    EXPECT_EQ(held.status18, 0x8 | 0x4) << "HOLD with MAX";
    EXPECT_EQ(held.status20, 0x1) << "SETUP";
}

TEST(MeterModelRel, ShowsTheReadingRelativeToThePresentOne)
{
    MeterModel model(5);
    model.Sample(Seconds(1));  // DCV, about 1.23456 V
    model.Press(MeterKey::Rel);
    ASSERT_TRUE(model.Relative());
    EXPECT_NEAR(model.RelativeReference(), 1.2345, 0.002);

    const DisplayState shown = model.Sample(Seconds(2));
    EXPECT_EQ(shown.status19 & 0x1, 0x1) << "REL bit";
    EXPECT_EQ(shown.range, '0') << "AUTO drops to 200 mV for a value near zero";
    EXPECT_LT(std::fabs(testing::ValueOf(shown, model.Range())), 0.0005);

    model.Press(MeterKey::Rel);
    const DisplayState off = model.Sample(Seconds(3));
    EXPECT_EQ(off.status19 & 0x1, 0);
    EXPECT_EQ(off.range, '1');
}

TEST(MeterModelRel, IsRefusedBeforeAnyReadingAndOnAnOpenInput)
{
    MeterModel model(5);
    model.Press(MeterKey::Rel);
    EXPECT_FALSE(model.Relative()) << "nothing measured yet";

    model.Press(MeterKey::Ohm);
    model.Sample(Seconds(46));  // the leads are open from 45 s to 49 s of each minute
    model.Press(MeterKey::Rel);
    EXPECT_FALSE(model.Relative());
    EXPECT_EQ(model.Status19() & 0x1, 0);
}

TEST(MeterModelMaxMin, CyclesMaxMinAvgAllAndOffAtPosition18)
{
    MeterModel model(9);
    const std::vector<RecordMode> expected = {RecordMode::Max, RecordMode::Min, RecordMode::Avg, RecordMode::All,
                                              RecordMode::Off, RecordMode::Max};
    const std::vector<std::uint8_t> nibbles = {0x4, 0x2, 0x1, 0x7, 0x0, 0x4};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        model.Press(MeterKey::MaxMin);
        EXPECT_EQ(model.Recording(), expected[i]) << "press " << i + 1;
        EXPECT_EQ(model.Sample(Seconds(static_cast<double>(i))).status18, nibbles[i]) << "press " << i + 1;
    }
}

// With the input under the test's control: MAX, MIN and AVG show what was recorded since
// MAX MIN was first pressed, ALL the present reading while the recording goes on.
TEST(MeterModelMaxMin, ShowsTheRecordedMaximumMinimumAndAverage)
{
    MeterModel model(11);
    double volts = 0;
    model.ConnectInput([&volts](MeterFunction, SimTime) { return SignalSample{volts, 0}; });
    auto shownAt = [&](double v) {
        volts = v;
        return CountOf(model.Sample(SimTime{0}));  // 2 V range: count = volts x 100000
    };
    shownAt(1.9);  // before recording: not part of it

    model.Press(MeterKey::MaxMin);  // MAX
    EXPECT_EQ(shownAt(1.0), 100000);
    EXPECT_EQ(shownAt(1.8), 180000);
    EXPECT_EQ(shownAt(0.4), 180000);
    EXPECT_EQ(shownAt(1.2), 180000);

    model.Press(MeterKey::MaxMin);  // MIN
    EXPECT_EQ(shownAt(0.9), 40000);

    model.Press(MeterKey::MaxMin);  // AVG of 1.0 1.8 0.4 1.2 0.9 1.1
    EXPECT_EQ(shownAt(1.1), 106667);

    model.Press(MeterKey::MaxMin);  // ALL
    EXPECT_EQ(shownAt(0.7), 70000);

    model.Press(MeterKey::MaxMin);  // off
    EXPECT_EQ(shownAt(0.3), 30000);

    model.Press(MeterKey::MaxMin);  // MAX again: a new recording
    EXPECT_EQ(shownAt(0.6), 60000);
}

TEST(MeterModelMaxMin, AnOpenInputIsTheMaximumButNotPartOfTheAverage)
{
    MeterModel model(11);
    double ohms = 0;
    model.ConnectInput([&ohms](MeterFunction, SimTime) { return SignalSample{ohms, 0}; });
    model.Press(MeterKey::Ohm);
    model.Press(MeterKey::MaxMin);
    for (const double value : {1000.0, HUGE_VAL, 3000.0}) {
        ohms = value;
        model.Sample(SimTime{0});
    }
    ohms = 2000.0;
    EXPECT_TRUE(model.Sample(SimTime{0}).overload) << "MAX shows the open input";
    model.Press(MeterKey::MaxMin);  // MIN
    model.Press(MeterKey::MaxMin);  // AVG
    const DisplayState average = model.Sample(SimTime{0});
    ASSERT_FALSE(average.overload);
    EXPECT_NEAR(testing::ValueOf(average, model.Range()), 2000.0, 0.01);  // 1000 3000 2000 2000
}

struct ToggleCase {
    MeterKey key;
    std::uint8_t bit;
};

class Position20Keys : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(Position20Keys, ToggleTheirBitOnly)
{
    const ToggleCase c = GetParam();
    MeterModel model(2);
    model.Press(c.key);
    EXPECT_EQ(model.Sample(Seconds(1)).status20, c.bit);
    model.Press(c.key);
    EXPECT_EQ(model.Sample(Seconds(2)).status20, 0);
}

INSTANTIATE_TEST_SUITE_P(RclStoCalSetup, Position20Keys,
                         ::testing::Values(ToggleCase{MeterKey::Recall, 0x8}, ToggleCase{MeterKey::Store, 0x4},
                                           ToggleCase{MeterKey::Cal, 0x2}, ToggleCase{MeterKey::Setup, 0x1}),
                         [](const auto& info) {
                             const char key = static_cast<char>(info.param.key);
                             return std::string("Key") + key + key + "_Bit" + std::to_string(info.param.bit);
                         });

TEST(MeterModelStoreRecall, RecallShowsTheStoredReadingUntilRecallGoesOff)
{
    MeterModel model(4);
    model.Press(MeterKey::Ohm);
    const DisplayState stored = model.Sample(Seconds(1));
    model.Press(MeterKey::Store);
    model.Press(MeterKey::Dcv);
    model.Press(MeterKey::Recall);
    const DisplayState recalled = model.Sample(Seconds(2));
    EXPECT_EQ(recalled.function, '6');
    EXPECT_EQ(recalled.mainDigits, stored.mainDigits);
    EXPECT_EQ(recalled.status20, 0x8 | 0x4);

    model.Press(MeterKey::Recall);
    EXPECT_EQ(model.Sample(Seconds(3)).function, '0');
}

TEST(MeterModelReset, ReturnsToDcvAutoWithEveryModeOff)
{
    MeterModel model(6);
    model.Press(MeterKey::Aci);
    model.Sample(Seconds(1));
    for (MeterKey key : {MeterKey::Up, MeterKey::Hold, MeterKey::Rel, MeterKey::MaxMin, MeterKey::Store,
                         MeterKey::Recall, MeterKey::Setup, MeterKey::Cal})
        model.Press(key);
    ASSERT_NE(model.Status20(), 0);

    model.Press(MeterKey::Reset);
    const DisplayState shown = model.Sample(Seconds(2));
    EXPECT_EQ(shown.function, '0');
    EXPECT_EQ(shown.range, '1');
    EXPECT_EQ(shown.status18, 0);
    EXPECT_EQ(shown.status19, 0x2) << "AUTO, no REL";
    EXPECT_EQ(shown.status20, 0);
}

TEST(MeterModelFunctionChange, DropsHoldRelAndRecording)
{
    MeterModel model(6);
    model.Sample(Seconds(1));
    model.Press(MeterKey::Hold);
    model.Press(MeterKey::Rel);
    model.Press(MeterKey::MaxMin);
    model.Press(MeterKey::Cal);
    model.Press(MeterKey::Acv);
    EXPECT_FALSE(model.Holding());
    EXPECT_FALSE(model.Relative());
    EXPECT_EQ(model.Recording(), RecordMode::Off);
    EXPECT_TRUE(model.Calibrating()) << "CAL is not a reading mode";
}

TEST(MeterModelSecondDisplay, FrequencyAndAcFunctionsShowKilohertzOthersStayBlank)
{
    struct Case {
        MeterKey key;
        const char* digits;  // "" for a blank second display
        double tolerance;    // in the last digit
    };
    for (const Case c : {Case{MeterKey::Hz, "1000", 2}, Case{MeterKey::Acv, "0050", 0}, Case{MeterKey::Aci, "0050", 0},
                         Case{MeterKey::Dcv, "", 0}, Case{MeterKey::Ohm, "", 0}, Case{MeterKey::Cap, "", 0}}) {
        MeterModel model(8);
        model.Press(c.key);
        const DisplayState shown = model.Sample(Seconds(5));
        if (std::string(c.digits).empty()) {
            EXPECT_TRUE(shown.secondDigits.empty()) << NameOf(c.key);
            continue;
        }
        ASSERT_EQ(shown.secondDigits.size(), 4u) << NameOf(c.key);
        EXPECT_EQ(shown.secondPoint, 1) << NameOf(c.key);
        EXPECT_NEAR(std::stod(shown.secondDigits), std::stod(c.digits), c.tolerance) << NameOf(c.key);
    }
}

TEST(MeterModelDeterminism, SameSeedKeysAndTimesGiveTheSameFrames)
{
    MeterModel a(42);
    MeterModel b(42);
    for (int i = 0; i < 50; ++i) {
        if (i == 10) {
            a.Press(MeterKey::Ohm);
            b.Press(MeterKey::Ohm);
        }
        const DisplayState x = a.Sample(Seconds(i * 0.4));
        const DisplayState y = b.Sample(Seconds(i * 0.4));
        ASSERT_EQ(EncodeFrameText(x), EncodeFrameText(y)) << i;
    }
}

} // namespace
} // namespace varnex::sim
