#include "log/SamplingSchedule.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>
#include "support/ParamName.h"

namespace varnex {
namespace {

TEST(SamplingSchedule, StartState)
{
    const SamplingSchedule s;
    EXPECT_TRUE(s.RepeatSet);
    EXPECT_FALSE(s.RecordSI);
    EXPECT_EQ(s.RecordSITime, "1");
    EXPECT_EQ(s.IntervalSetting(), 1);
    EXPECT_EQ(s.SampleCountdown, 0);
    EXPECT_EQ(s.LastLoggedKey, "");
}

struct IntervalCase {
    const char* text;
    std::int32_t seconds;
};

class IntervalText : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(IntervalText, ReadsAsWholeSecondsNeverNegative)
{
    EXPECT_EQ(SamplingSchedule::ParseInterval(GetParam().text), GetParam().seconds)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    SamplingSchedule, IntervalText,
    ::testing::Values(
        // the three texts that read as no interval
        IntervalCase{"", 0}, IntervalCase{"-", 0}, IntervalCase{"+", 0},
        // whole numbers
        IntervalCase{"0", 0}, IntervalCase{"1", 1}, IntervalCase{"5", 5}, IntervalCase{"007", 7},
        IntervalCase{"+7", 7}, IntervalCase{"3600", 3600}, IntervalCase{" 12 ", 12},
        IntervalCase{"2147483647", INT32_MAX},
        // more digits than 32 bits hold: the longest wait
        IntervalCase{"2147483648", INT32_MAX}, IntervalCase{"99999999999999999999", INT32_MAX},
        // negative numbers: no wait
        IntervalCase{"-3", 0}, IntervalCase{"-0", 0}, IntervalCase{"-99999999999", 0},
        // pasted text that is not a whole number: no wait, like an empty field
        IntervalCase{"1.5", 0}, IntervalCase{"abc", 0}, IntervalCase{"10s", 0},
        IntervalCase{"--5", 0}, IntervalCase{"+-5", 0}, IntervalCase{"1 2", 0},
        IntervalCase{"   ", 0}),
    [](const auto& info) { return varnex::testing::ParamName(info.param.text); });

TEST(SamplingSchedule, TimerCountsDownOnlyWhileTheIntervalIsOn)
{
    SamplingSchedule s;
    s.SampleCountdown = 3;
    s.TrecordTimer();
    EXPECT_EQ(s.SampleCountdown, 3) << "RecordSI unchecked: no count";
    s.RecordSI = true;
    const std::vector<std::int32_t> afterTicks = {2, 1, 0, 0, 0};
    for (std::int32_t expected : afterTicks) {
        s.TrecordTimer();
        EXPECT_EQ(s.SampleCountdown, expected);
    }
}

TEST(SamplingSchedule, EditingTheIntervalRestartsTheWait)
{
    SamplingSchedule s;
    s.SampleCountdown = 2;
    s.RecordSITimeChange("10");
    EXPECT_EQ(s.RecordSITime, "10");
    EXPECT_EQ(s.SampleCountdown, 10);
    s.RecordSITimeChange("");
    EXPECT_EQ(s.IntervalSetting(), 0);
    EXPECT_EQ(s.SampleCountdown, 0) << "an emptied field means no interval";
}

TEST(SamplingSchedule, RowLoggedRemembersTheKeyAndRestartsTheWait)
{
    SamplingSchedule s;
    s.RecordSITime = "4";
    s.RowLogged("1.2345", "V");
    EXPECT_EQ(s.LastLoggedKey, "1.2345V");
    EXPECT_EQ(s.SampleCountdown, 4);
}

TEST(SamplingSchedule, RepeatIsTheValueAndUnitTextsJoined)
{
    SamplingSchedule s;
    s.RepeatSet = false;
    s.RowLogged("1.23", "mV");
    EXPECT_TRUE(s.IsRepeat("1.23", "mV"));
    EXPECT_FALSE(s.IsRepeat("1.23", "V"));
    EXPECT_FALSE(s.IsRepeat("1.23", "MV")) << "case counts";
    EXPECT_FALSE(s.IsRepeat("1.230", "mV"));
    EXPECT_FALSE(s.IsRepeat("1.23", "mV "));
    // The key is one text: the split between value and unit does not matter.
    EXPECT_TRUE(s.IsRepeat("1.23m", "V"));
    s.RepeatSet = true;
    EXPECT_FALSE(s.IsRepeat("1.23", "mV")) << "with Repeat checked nothing is a repeat";
}

TEST(SamplingSchedule, FirstReadingIsARepeatOnlyOfAnEmptyKey)
{
    SamplingSchedule s;
    s.RepeatSet = false;
    EXPECT_FALSE(s.IsRepeat("0.000", "V"));
    EXPECT_TRUE(s.IsRepeat("", "")) << "LastLoggedKey starts empty";
}

} // namespace
} // namespace varnex
