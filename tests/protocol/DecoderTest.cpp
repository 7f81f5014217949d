// The reading part of a decoder pass: digits, overloads, value text, count and chart value.
#include "protocol/Decoder.h"

#include "TestFrame.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varnex {
namespace {

using test::TestFrame;

Reading PreviousReading()
{
    Reading r;
    r.FunctionText = "old";
    r.ValueText = "prev";
    r.UnitText = "oldU";
    r.Value2Text = "prev2";
    r.Unit2Text = "oldU2";
    r.Count = 4321;
    r.ChartValue = -7.5;
    return r;
}

struct ReadingCase {
    std::string name;
    TestFrame frame;
    std::string valueText;
    double count;
    double chartValue;
    std::string value2Text = "";
    std::string separator = ".";
};

class DecodeReading : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(DecodeReading, ValueCountAndChartValue)
{
    const auto& p = GetParam();
    const DecodeResult r = DecodeFrame(p.frame.Text(), PreviousReading(), p.separator);
    ASSERT_TRUE(r.decoded);
    EXPECT_EQ(r.reading.ValueText, p.valueText);
    EXPECT_EQ(r.reading.Count, p.count);
    EXPECT_DOUBLE_EQ(r.reading.ChartValue, p.chartValue);
    EXPECT_EQ(r.reading.Value2Text, p.value2Text);
}

TestFrame MakeFrame(char function, char range, char sign, const std::string& main,
               const std::string& second = "00000")
{
    TestFrame s;
    s.function = function;
    s.range = range;
    s.sign = sign;
    s.main = main;
    s.second = second;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, DecodeReading,
    ::testing::Values(
        ReadingCase{"dcv", MakeFrame('0', '1', '0', "1E23456"), "1.23456", 123456, 1.23456},
        ReadingCase{"dcvNegative", MakeFrame('0', '1', 'D', "1E23456"), "-1.23456", -123456, -1.23456},
        ReadingCase{"commaSeparator", MakeFrame('0', '1', '0', "1E23456"), "1,23456", 123456, 1.23456, "", ","},
        ReadingCase{"pointAt11", MakeFrame('0', '3', '0', "123456E"), "123456", 123456, 123.456},
        ReadingCase{"pointAt10KeepsP4InFullForm", MakeFrame('0', '2', '0', "12345E6"), "12345.6", 123456, 12.3456},
        // every point rule copies the six positions around its "E"
        ReadingCase{"pointAt8", MakeFrame('0', '0', '0', "123E456"), "123.456", 123456, 123.456},
        ReadingCase{"secondDisplay", MakeFrame('8', '0', '0', "1E23456", "1E234"), "1.23456", 123456, 123.456, "1.234"},
        ReadingCase{"secondDisplayPoint3", MakeFrame('8', '1', '0', "1E23456", "123E4"), "1.23456", 123456, 1234.56, "123.4"},
        // overload: evaluation C (short form), Count +-FullScaleCount, Value2Text untouched
        ReadingCase{"overloadNoPoint", MakeFrame('0', '1', '0', "F00000E"), "0vLd----", 22000, 0.22, "prev2"},
        ReadingCase{"overloadNegative", MakeFrame('0', '1', 'D', "F00000E"), "-0vLd----", -22000, -0.22, "prev2"},
        ReadingCase{"overloadPoint0", MakeFrame('0', '1', '0', "FE00000"), "0.vLd----", 22000, 0.22, "prev2"},
        ReadingCase{"overloadPoint1", MakeFrame('0', '2', '0', "F0E0000"), "0v.Ld----", 22000, 2.2, "prev2"},
        ReadingCase{"overloadPoint2NotShown", MakeFrame('0', '3', '0', "F00E000"), "0vLd----", 22000, 22, "prev2"},
        ReadingCase{"overloadPoint3", MakeFrame('0', '3', '0', "F000E00"), "0vL.d----", 22000, 22, "prev2"},
        // "F" at 6 or 7 shows the overload digits but only evaluation A runs
        ReadingCase{"overloadAt6", MakeFrame('0', '1', '0', "0F0000E"), "0vLd----", 22000, 0.22},
        // resistance overload plots 220 whatever the range
        ReadingCase{"ohmOverloadRange0", MakeFrame('6', '0', '0', "0F0000E"), "0vLd----", 22000, 220.0},
        ReadingCase{"ohmOverloadRange5", MakeFrame('6', '5', '0', "0F0000E"), "0vLd----", 22000, 220.0},
        ReadingCase{"ohmOverloadNoRow", MakeFrame('6', '9', '0', "F00000E"), "0vLd----", 22000, 220.0, "prev2"},
        // D5 "A" is the meter's other overload display: Count plotted as it is, unscaled
        ReadingCase{"d5IsA", MakeFrame('0', '1', '0', "12345AE"), "0vLd----", 22000, 22000},
        // digits that are not a number: Count 0
        ReadingCase{"hexDigit", MakeFrame('0', '1', '0', "1E2345B"), "1.2345B", 0, 0},
        ReadingCase{"minus999999", MakeFrame('0', '3', 'D', "999999E"), "-999999", 0, 0},
        // two point markers: the later rule wins; "3E0102" reads as 3e102, truncated
        ReadingCase{"twoPointMarkers", MakeFrame('0', '0', '0', "3E01E02"), "3.E01.02", 3e102, 3e99},
        ReadingCase{"pointMarkerAt5", MakeFrame('0', '1', '0', "E12345E"), "E12345", 0, 0},
        // diode: point at 8 leaves D5 empty; evaluation B gives five digits
        ReadingCase{"diodePointAt8", MakeFrame('A', '7', '0', "123E456"), "123.45", 12345, 1234.5, "prev2"},
        ReadingCase{"diodePointAt9", MakeFrame('A', '0', '0', "1234E56"), "1234.56", 12345, 1234.5, "prev2"},
        // diode overload plots 10.0; with the minus sign the rule reads Count x 0.1
        ReadingCase{"diodeOverload", MakeFrame('A', '0', '0', "F1E2345"), "0v.Ld----", 22000, 10.0, "prev2"},
        ReadingCase{"diodeOverloadNegative", MakeFrame('A', '0', 'D', "F1E2345"), "-0v.Ld----", -22000, -2200.0, "prev2"},
        // continuity: A and B both run; B last, so the short form (no P4) and five digits
        ReadingCase{"continuity", MakeFrame('9', '3', '0', "12345E0", "1E234"), "12345", 12345, 12345, "1.234"},
        ReadingCase{"continuityOverload", MakeFrame('9', '0', '0', "F00000E"), "0vLd----", 22000, 700.0, "prev2"}),
    [](const auto& info) { return info.param.name; });

TEST(DecodeReading, FieldsOfTheFrameAndUnit)
{
    const DecodeResult r = DecodeFrame(MakeFrame('0', '1', '0', "1E23456").Text(), PreviousReading(), ".");
    EXPECT_EQ(r.reading.FunctionText, "DCV");
    EXPECT_EQ(r.reading.UnitText, "V");
    EXPECT_EQ(r.reading.Unit2Text, "");
    EXPECT_EQ(r.reading.Value2Text, "");
    EXPECT_FALSE(r.secondOverloadApplied);
}

TEST(DecodeReading, SecondDisplayShowsKHz)
{
    const DecodeResult r = DecodeFrame(MakeFrame('8', '0', '0', "1E23456", "1E234").Text(), PreviousReading(), ".");
    EXPECT_EQ(r.reading.Unit2Text, "KHz");
    for (auto [label, digit] : {std::pair{LcdElement::LCDd20, "1"}, {LcdElement::LCDD2A, "2"},
                                {LcdElement::LCDD2B, "3"}, {LcdElement::LCDD2C, "4"}})
        EXPECT_EQ(r.lcd.TextOf(label), std::optional<std::string>(digit)) << LcdElementName(label);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LCDk), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LCDM1), Visibility::Show);
}

TEST(DecodeReading, BlankSecondDisplay)
{
    const DecodeResult r = DecodeFrame(MakeFrame('0', '1', '0', "1E23456", "12345").Text(), PreviousReading(), ".");
    EXPECT_EQ(r.reading.Unit2Text, "");
    EXPECT_EQ(r.reading.Value2Text, "");
    for (auto label : {LcdElement::LCDd20, LcdElement::LCDD2A, LcdElement::LCDD2B, LcdElement::LCDD2C})
        EXPECT_EQ(r.lcd.TextOf(label), std::optional<std::string>("")) << LcdElementName(label);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LCDk), Visibility::Hide);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LCDM1), Visibility::Hide);
}

TEST(DecodeReading, DiodePointAt6ShowsOverloadAndKeepsTheValue)
{
    const DecodeResult r = DecodeFrame(MakeFrame('A', '0', '0', "1E23456").Text(), PreviousReading(), ".");
    ASSERT_TRUE(r.decoded);
    EXPECT_TRUE(r.secondOverloadApplied);
    EXPECT_EQ(r.lcd.TextOf(LcdElement::LcdDb), std::optional<std::string>("@"));
    EXPECT_EQ(r.reading.ValueText, "prev"); // evaluation B does not run
    EXPECT_EQ(r.reading.Count, 4321);
    EXPECT_EQ(r.reading.ChartValue, 4321); // rule 2: the Count as it is
    EXPECT_EQ(r.reading.FunctionText, "DIO");
}

TEST(DecodeReading, DiodePointAt7TakesTheMarkerIntoD2)
{
    const DecodeResult r = DecodeFrame(MakeFrame('A', '0', '0', "01E2345").Text(), PreviousReading(), ".");
    const char* expected[6] = {"0", "1", "E", "2", "3", "5"};
    const LcdElement labels[6] = {LcdElement::LcdD0, LcdElement::LcdDa, LcdElement::LcdDb,
                                  LcdElement::LcdDc, LcdElement::LcdDd, LcdElement::LcdDe};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(r.lcd.TextOf(labels[i]), std::optional<std::string>(expected[i])) << i;
    // no evaluation runs: value kept, chart from the kept Count
    EXPECT_EQ(r.reading.ValueText, "prev");
    EXPECT_DOUBLE_EQ(r.reading.ChartValue, 432.1);
}

TEST(DecodeReading, AllAInPositions4To13SkipsEvaluationA)
{
    TestFrame s = MakeFrame('0', '1', 'A', "AAAAAAA", "AA000");
    const DecodeResult r = DecodeFrame(s.Text(), PreviousReading(), ".");
    ASSERT_TRUE(r.decoded);
    EXPECT_TRUE(r.secondOverloadApplied);
    EXPECT_EQ(r.reading.ValueText, "prev");
    EXPECT_EQ(r.reading.Value2Text, "prev2");
    EXPECT_EQ(r.reading.Count, 4321);
    EXPECT_EQ(r.reading.ChartValue, 4321);

    s.second = "AB000"; // position 13 differs: A runs on the overload digits
    const DecodeResult r2 = DecodeFrame(s.Text(), PreviousReading(), ".");
    EXPECT_EQ(r2.reading.ValueText, "0vLd----");
    EXPECT_EQ(r2.reading.Count, 22000);
}

TEST(DecodeReading, RangeDigitWithoutRowKeepsChartValueAndLogsEmptyUnit)
{
    const DecodeResult r = DecodeFrame(MakeFrame('3', '5', '0', "1E23456").Text(), PreviousReading(), ".");
    ASSERT_TRUE(r.decoded);
    EXPECT_EQ(r.reading.FunctionText, "");
    EXPECT_EQ(r.reading.UnitText, "");
    EXPECT_EQ(r.reading.ValueText, "1.23456");
    EXPECT_EQ(r.reading.Count, 123456);
    EXPECT_EQ(r.reading.ChartValue, -7.5); // rule 7
    EXPECT_FALSE(r.axis.has_value());
}

struct RejectCase {
    std::string name;
    char function;
    char range;
    bool functionCaptionShown;
};

class RejectedFrames : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectedFrames, NothingToLogAndDigitsKept)
{
    const auto& p = GetParam();
    const DecodeResult r = DecodeFrame(MakeFrame(p.function, p.range, 'D', "1E23456").Text(), PreviousReading(), ".");
    EXPECT_FALSE(r.decoded);
    EXPECT_FALSE(r.axis.has_value());
    // the pass emptied FunctionText/UnitText before it stopped; the rest is the previous reading
    EXPECT_EQ(r.reading.FunctionText, "");
    EXPECT_EQ(r.reading.UnitText, "");
    EXPECT_EQ(r.reading.ValueText, "prev");
    EXPECT_EQ(r.reading.Count, 4321);
    EXPECT_EQ(r.reading.ChartValue, -7.5);
    for (auto label : {LcdElement::LcdD0, LcdElement::LcdDe, LcdElement::LCDd20})
        EXPECT_FALSE(r.lcd.TextOf(label).has_value()) << LcdElementName(label);
    // steps 1-8 are on the LCD
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::CONok), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LCDsend), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LcdFH), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::lcdrange), Visibility::Keep);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LcdP4), Visibility::Keep);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LcdDc1),
              p.functionCaptionShown ? Visibility::Show : Visibility::Hide);
}

INSTANTIATE_TEST_SUITE_P(Cases, RejectedFrames,
                         ::testing::Values(RejectCase{"functionB", 'B', '1', false},
                                           RejectCase{"functionE", 'E', '1', false},
                                           RejectCase{"functionF", 'F', '0', false},
                                           RejectCase{"rangeA", '0', 'A', true},
                                           RejectCase{"rangeF", '8', 'F', true}),
                         [](const auto& info) { return info.param.name; });

TEST(RejectedFrames, BadRangeShowsFunctionCaptionAndUnitSign)
{
    const DecodeResult r = DecodeFrame(MakeFrame('6', 'C', '0', "1E23456").Text(), PreviousReading(), ".");
    EXPECT_FALSE(r.decoded);
    EXPECT_EQ(r.lcd.TextOf(LcdElement::LcdDc1), std::optional<std::string>("OHM"));
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::LCDohm), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(LcdElement::lcdkk), Visibility::Hide);
    for (std::size_t t = 0; t < kTerminalCount; ++t)
        EXPECT_EQ(r.lcd.terminalRed[t], std::optional<bool>(false));
}

TEST(RejectedFrames, DiodeAndContinuityIgnoreTheRangeCode)
{
    for (char function : {'A', '9'})
        for (char range : {'0', '5', 'C', 'F'}) {
            const DecodeResult r = DecodeFrame(MakeFrame(function, range, '0', "12E3456").Text(), PreviousReading(), ".");
            EXPECT_TRUE(r.decoded) << function << range;
            ASSERT_TRUE(r.axis.has_value());
            EXPECT_EQ(r.axis->maximum, function == 'A' ? 6 : 600);
        }
}

TEST(RejectedFrames, WrongLengthIsRejected)
{
    for (const char* text : {"", "A0101E23456000000020", "A0101E23456000000020DD"})
        EXPECT_FALSE(DecodeFrame(text, PreviousReading(), ".").decoded) << text;
}

TEST(DecodeFrameInto, ReusingOneResultMatchesFreshPasses)
{
    const std::string frames[] = {MakeFrame('0', '1', '0', "1E23456").Text(), MakeFrame('6', 'C', '0', "1E23456").Text(),
                                  MakeFrame('8', '0', 'D', "12E3456", "1E234").Text(), MakeFrame('A', '0', '0', "F1E2345").Text()};
    DecodeResult reused;
    reused.reading = PreviousReading();
    Reading previous = PreviousReading();
    for (const auto& frame : frames) {
        DecodeFrameInto(frame, ".", reused);
        const DecodeResult fresh = DecodeFrame(frame, previous, ".");
        previous = fresh.reading;
        EXPECT_EQ(reused.decoded, fresh.decoded);
        EXPECT_EQ(reused.reading.ValueText, fresh.reading.ValueText);
        EXPECT_EQ(reused.reading.ChartValue, fresh.reading.ChartValue);
        EXPECT_EQ(reused.lcd.visibility, fresh.lcd.visibility);
        EXPECT_EQ(reused.lcd.text, fresh.lcd.text);
        EXPECT_EQ(reused.lcd.terminalRed, fresh.lcd.terminalRed);
    }
}

} // namespace
} // namespace varnex
