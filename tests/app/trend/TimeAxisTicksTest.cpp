// The time axis: its step and label form adapt to the span, ticks sit on round local
// times (also across the clock changes in Europe/Berlin), and the value axis prefixes.
#include "app/trend/TimeAxisTicks.h"
#include "app/trend/ValueAxisTicks.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <string>

namespace varnex {
namespace {

const QTimeZone& Berlin()
{
    static const QTimeZone zone("Europe/Berlin");
    return zone;
}

double Local(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return double(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Berlin()).toMSecsSinceEpoch());
}

struct SpanCase {
    const char* name;
    double spanMs;
    TimeTickUnit unit;
    int labelLength;
};

class TimeAxisSpans : public ::testing::TestWithParam<SpanCase> {};

TEST_P(TimeAxisSpans, StepAndLabelsFollowTheSpan)
{
    const SpanCase& c = GetParam();
    const double from = Local(2026, 12, 9, 13, 0, 0, 0) + 7;
    const TimeAxis axis = ComputeTimeAxis(from, from + c.spanMs, 800, 7, Berlin());
    EXPECT_EQ(axis.unit, c.unit);
    ASSERT_GE(axis.ticks.size(), 2u);
    // Never more labels than fit the width.
    EXPECT_LE(double(axis.ticks.size()), 800.0 / 7.0 / 4.0 + 1.0);
    EXPECT_EQ(axis.ticks.front().label.size(), c.labelLength) << axis.ticks.front().label.toStdString();
    for (std::size_t i = 1; i < axis.ticks.size(); ++i) {
        EXPECT_GT(axis.ticks[i].utcMs, axis.ticks[i - 1].utcMs);
        if (c.unit != TimeTickUnit::Month) {
            EXPECT_DOUBLE_EQ(axis.ticks[i].utcMs - axis.ticks[i - 1].utcMs, double(axis.stepMs));
        }
    }
    EXPECT_GE(axis.ticks.front().utcMs, from);
    EXPECT_LE(axis.ticks.back().utcMs, from + c.spanMs);
    // Every tick sits on a whole multiple of the step in local time.
    if (c.unit < TimeTickUnit::Day) {
        for (const TimeTick& t : axis.ticks) {
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(std::int64_t(t.utcMs), Berlin());
            EXPECT_EQ(local.time().msecsSinceStartOfDay() % axis.stepMs, 0) << t.label.toStdString();
        }
    }
    // The first tick names its date (sub-day steps).
    if (c.unit < TimeTickUnit::Day) {
        EXPECT_EQ(axis.ticks.front().dateLabel, QStringLiteral("2026-12-09"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spans, TimeAxisSpans,
    ::testing::Values(SpanCase{"HalfASecondInMilliseconds", 500, TimeTickUnit::Millisecond, 12},
                      SpanCase{"TenSecondsInSeconds", 10'000, TimeTickUnit::Second, 8},
                      SpanCase{"TwoHoursInMinutes", 2 * 3600'000.0, TimeTickUnit::Minute, 5},
                      SpanCase{"TwoDaysInHours", 2 * 86400'000.0, TimeTickUnit::Hour, 5},
                      SpanCase{"SixWeeksInDays", 42 * 86400'000.0, TimeTickUnit::Day, 10},
                      SpanCase{"TwoYearsInMonths", 730 * 86400'000.0, TimeTickUnit::Month, 8}),
    [](const ::testing::TestParamInfo<SpanCase>& info) { return std::string(info.param.name); });

std::vector<std::string> Labels(const TimeAxis& axis)
{
    std::vector<std::string> out;
    for (const TimeTick& t : axis.ticks)
        out.push_back(t.label.toStdString());
    return out;
}

TEST(TimeAxisClockChanges, HourlyLabelsShowTheLocalClockWhenItGoesForwardAndBack)
{
    // Narrow enough for a one-hour step over five hours.
    const TimeAxis spring = ComputeTimeAxis(Local(2026, 3, 29, 0, 0), Local(2026, 3, 29, 5, 0), 300, 7, Berlin());
    ASSERT_EQ(spring.stepMs, 3600'000);
    EXPECT_EQ(Labels(spring), (std::vector<std::string>{"00:00", "01:00", "03:00", "04:00", "05:00"}));

    const double from = Local(2026, 10, 25, 1, 0);
    const TimeAxis autumn = ComputeTimeAxis(from, from + 4 * 3600'000.0, 300, 7, Berlin());
    ASSERT_EQ(autumn.stepMs, 3600'000);
    EXPECT_EQ(Labels(autumn), (std::vector<std::string>{"01:00", "02:00", "02:00", "03:00", "04:00"}));
}

TEST(TimeAxisClockChanges, LongerStepsStayOnRoundLocalHoursAfterTheChange)
{
    const TimeAxis axis = ComputeTimeAxis(Local(2026, 3, 29, 0, 0), Local(2026, 3, 29, 12, 0), 250, 7, Berlin());
    ASSERT_EQ(axis.stepMs, 3 * 3600'000);
    EXPECT_EQ(Labels(axis), (std::vector<std::string>{"00:00", "03:00", "06:00", "09:00", "12:00"}));
}

TEST(TimeAxisClockChanges, DayTicksSitOnLocalMidnightsAcrossTheChange)
{
    const TimeAxis days = ComputeTimeAxis(Local(2026, 10, 23, 12, 0), Local(2026, 10, 28, 12, 0), 500, 7, Berlin());
    ASSERT_EQ(days.unit, TimeTickUnit::Day);
    EXPECT_EQ(Labels(days), (std::vector<std::string>{"2026-10-24", "2026-10-25", "2026-10-26", "2026-10-27",
                                                      "2026-10-28"}));
    for (const TimeTick& t : days.ticks)
        EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(std::int64_t(t.utcMs), Berlin()).time(), QTime(0, 0));
    // The day of the change has 25 hours.
    EXPECT_DOUBLE_EQ(days.ticks[2].utcMs - days.ticks[1].utcMs, 25 * 3600'000.0);
}

TEST(TimeAxis, TheDateIsRepeatedWhereTheDayChanges)
{
    const TimeAxis axis = ComputeTimeAxis(Local(2026, 12, 9, 20, 0), Local(2026, 12, 10, 4, 0), 400, 7, Berlin());
    int dated = 0;
    for (const TimeTick& t : axis.ticks)
        if (!t.dateLabel.isEmpty()) {
            ++dated;
            if (dated == 2) {
                EXPECT_EQ(t.label, QStringLiteral("00:00"));
                EXPECT_EQ(t.dateLabel, QStringLiteral("2026-12-10"));
            }
        }
    EXPECT_EQ(dated, 2);
    EXPECT_TRUE(ComputeTimeAxis(10, 10, 400, 7, Berlin()).ticks.empty());
}

struct PrefixCase {
    const char* name;
    double minimum, maximum;
    const char* unit;
    const char* label;
};

class ValueAxisPrefixes : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(ValueAxisPrefixes, TheAxisIsInTheReadingsUnitWithAPrefix)
{
    const PrefixCase& c = GetParam();
    const ValueAxis axis = ComputeValueAxis(c.minimum, c.maximum, 5, QString::fromUtf8(c.unit));
    EXPECT_EQ(axis.unitLabel.toStdString(), c.label);
    ASSERT_GE(axis.ticks.size(), 2u);
    EXPECT_LE(axis.ticks.size(), 7u);
    for (const ValueTick& t : axis.ticks) {
        EXPECT_GE(t.value, c.minimum - 1e-12);
        EXPECT_LE(t.value, c.maximum + 1e-12);
        // The label is the tick's value in the prefixed unit.
        EXPECT_NEAR(t.label.toDouble() * axis.scale, t.value, std::abs(t.value) * 1e-9 + axis.scale * 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Units, ValueAxisPrefixes,
    ::testing::Values(PrefixCase{"Millivolts", -0.0021, 0.0019, "V", "mV"},
                      PrefixCase{"Volts", 1.0, 9.5, "V", "V"},
                      PrefixCase{"HundredsOfVolts", 100.0, 750.0, "V", "V"},
                      PrefixCase{"Kiloohms", 1000, 4700, "\u03A9", "k\u03A9"},
                      PrefixCase{"Megahertz", 1.2e6, 1.3e6, "Hz", "MHz"},
                      PrefixCase{"Microfarads", 1e-6, 4.7e-6, "F", "\u00B5F"},
                      PrefixCase{"Nanofarads", 1e-9, 9e-9, "F", "nF"}),
    [](const ::testing::TestParamInfo<PrefixCase>& info) { return std::string(info.param.name); });

TEST(SiText, ValuesAreWrittenWithTheirPrefix)
{
    EXPECT_EQ(SiText(0.00123456, "V").toStdString(), "1.23456 mV");
    EXPECT_EQ(SiText(-12500, QString::fromUtf8("\u03A9"), 4).toStdString(), "-12.50 k\u03A9");
    EXPECT_EQ(SiText(0, "A").toStdString(), "0.00000 A");
    EXPECT_EQ(SiText(750, "V").toStdString(), "750.000 V");
    EXPECT_EQ(DurationText(2 * 3600'000 + 5 * 60'000).toStdString(), "2 h 05 min");
    EXPECT_EQ(DurationText(3250).toStdString(), "3.250 s");
}

} // namespace
} // namespace varnex
