#include "log/MeasurementLog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <cstdio>
#include <string>
#include <vector>

namespace varnex {
namespace {

// A pager with 100 points a page that always follows the newest page.
class FakeChart : public ChartFeed {
public:
    std::vector<double> points;
    int clears = 0;
    void AddPoint(double value) override { points.push_back(value); }
    void ClearPoints() override
    {
        points.clear();
        ++clears;
    }
    int CurrentPage() const override
    {
        const int n = static_cast<int>(points.size());
        return n == 0 ? 1 : (n + 99) / 100;
    }
};

Reading readingOf(std::string value, std::string unit = "V", double chartValue = 0)
{
    Reading r;
    r.FunctionText = "DCV";
    r.ValueText = std::move(value);
    r.UnitText = std::move(unit);
    r.ChartValue = chartValue;
    return r;
}

class MeasurementLogTest : public ::testing::Test {
protected:
    LogStore table;
    FakeChart chart;
    std::string now = "10:00:00";
    MeasurementLog log{table, chart, [this] { return now; }};

    std::vector<std::int32_t> loggedNumbers() const
    {
        std::vector<std::int32_t> numbers;
        for (std::size_t i = 0; i < table.size(); ++i)
            numbers.push_back(table.row(i).No);
        return numbers;
    }

    // Logs `count` distinct readings.
    void logDistinct(int count)
    {
        for (int i = 0; i < count; ++i)
            log.INDataToTable(readingOf(std::to_string(next_++)));
    }

private:
    int next_ = 0;
};

using Numbers = std::vector<std::int32_t>;

TEST_F(MeasurementLogTest, StartState)
{
    EXPECT_EQ(log.NextRecordNo(), 1);
    EXPECT_EQ(log.LoggedCount(), 0);
    EXPECT_EQ(log.RecordLimit(), 10000);
    EXPECT_TRUE(table.empty());
}

TEST_F(MeasurementLogTest, FirstReadingIsRowOneOnPageOne)
{
    Reading r = readingOf("1.23456", "V", 1.23456);
    r.FunctionText = "ACV DCV";
    r.Value2Text = "50.00";
    r.Unit2Text = "KHz";
    now = "14:05:09";
    const LogResult result = log.INDataToTable(r);

    EXPECT_TRUE(result.logged());
    EXPECT_EQ(result.PageLabel, "1");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.currentRow(), 0);
    const LogRowView row = table.row(0);
    EXPECT_EQ(row.No, 1);
    EXPECT_EQ(row.Time, "14:05:09");
    EXPECT_EQ(row.Function, "ACV DCV");
    EXPECT_EQ(row.Value, "1.23456");
    EXPECT_EQ(row.Unit, "V");
    EXPECT_EQ(row.Value2, "50.00");
    EXPECT_EQ(row.Unit2, "KHz");
    EXPECT_EQ(chart.points.size(), 1u);
    EXPECT_EQ(log.NextRecordNo(), 2);
    EXPECT_EQ(log.LoggedCount(), 1);
}

TEST_F(MeasurementLogTest, EmptySecondDisplayLogsAnEmptyUnit2)
{
    log.INDataToTable(readingOf("0.5"));
    EXPECT_EQ(table.row(0).Value2, "");
    EXPECT_EQ(table.row(0).Unit2, "");
}

TEST_F(MeasurementLogTest, LongTextsAreCutToTwentyCharacters)
{
    Reading r = readingOf("123456789012345678901234", "V");
    log.INDataToTable(r);
    EXPECT_EQ(table.row(0).Value, "12345678901234567890");
}

TEST_F(MeasurementLogTest, ChartGetsTheValueAsA32BitFloat)
{
    const std::vector<double> values = {0.1, -1.23456, 22000.0, 1e-7, 3.4e38};
    for (double v : values)
        log.INDataToTable(readingOf(std::to_string(v), "V", v));
    ASSERT_EQ(chart.points.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(chart.points[i], static_cast<double>(static_cast<float>(values[i])));
    EXPECT_NE(chart.points[0], 0.1) << "0.1 has no exact float";
}

TEST_F(MeasurementLogTest, PageLabelFollowsThePager)
{
    log.Sampling().RepeatSet = true;
    LogResult result;
    for (int i = 0; i < 100; ++i)
        result = log.INDataToTable(readingOf("1"));
    EXPECT_EQ(result.PageLabel, "1");
    result = log.INDataToTable(readingOf("1"));
    EXPECT_EQ(result.PageLabel, "2");
}

TEST_F(MeasurementLogTest, RepeatsLeftOutUseUpTheirNumbers)
{
    log.Sampling().RepeatSet = false;
    const std::vector<LogOutcome> outcomes = {
        log.INDataToTable(readingOf("A")).Outcome, log.INDataToTable(readingOf("A")).Outcome,
        log.INDataToTable(readingOf("A")).Outcome, log.INDataToTable(readingOf("B")).Outcome};
    EXPECT_EQ(outcomes, (std::vector<LogOutcome>{LogOutcome::Logged, LogOutcome::Repeat,
                                                 LogOutcome::Repeat, LogOutcome::Logged}));
    EXPECT_EQ(loggedNumbers(), (Numbers{1, 4}));
    EXPECT_EQ(chart.points.size(), 2u);
    EXPECT_EQ(log.NextRecordNo(), 5);
    EXPECT_EQ(log.LoggedCount(), 2);
}

TEST_F(MeasurementLogTest, AChangedUnitIsNotARepeat)
{
    log.Sampling().RepeatSet = false;
    log.INDataToTable(readingOf("1.000", "V"));
    log.INDataToTable(readingOf("1.000", "mV"));
    log.INDataToTable(readingOf("1.000", "mV"));
    EXPECT_EQ(loggedNumbers(), (Numbers{1, 2}));
}

TEST_F(MeasurementLogTest, RepeatResultCarriesNoPageLabel)
{
    log.Sampling().RepeatSet = false;
    log.INDataToTable(readingOf("A"));
    const LogResult repeat = log.INDataToTable(readingOf("A"));
    EXPECT_EQ(repeat.Outcome, LogOutcome::Repeat);
    EXPECT_FALSE(repeat.logged());
    EXPECT_TRUE(repeat.PageLabel.empty());
}

TEST_F(MeasurementLogTest, WithRepeatCheckedEveryReadingIsARowWithoutGaps)
{
    for (int i = 0; i < 3; ++i)
        log.INDataToTable(readingOf("A"));
    EXPECT_EQ(loggedNumbers(), (Numbers{1, 2, 3}));
    EXPECT_EQ(log.Sampling().LastLoggedKey, "AV") << "the key is kept with Repeat checked too";
}

TEST_F(MeasurementLogTest, CloseDataStartsTheLogAgain)
{
    log.Sampling().RecordSI = true;
    log.Sampling().RecordSITime = "3";
    logDistinct(1);
    log.Sampling().SampleCountdown = 2;
    for (int i = 0; i < 150; ++i)
        chart.AddPoint(0); // the chart is on page 2

    const std::string label = log.CloseData();
    EXPECT_EQ(label, "1");
    EXPECT_EQ(chart.clears, 1);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(log.NextRecordNo(), 1);
    EXPECT_EQ(log.LoggedCount(), 0);
    EXPECT_EQ(log.Sampling().SampleCountdown, 2) << "the wait is kept";
    EXPECT_EQ(log.Sampling().LastLoggedKey, "0V") << "the repeat key is kept";

    log.Sampling().RecordSI = false;
    logDistinct(1);
    EXPECT_EQ(loggedNumbers(), (Numbers{1}));
}

TEST_F(MeasurementLogTest, RepeatKeySurvivesCloseData)
{
    log.Sampling().RepeatSet = false;
    log.INDataToTable(readingOf("5.000"));
    log.CloseData();
    EXPECT_EQ(log.INDataToTable(readingOf("5.000")).Outcome, LogOutcome::Repeat);
    EXPECT_TRUE(table.empty());
    log.INDataToTable(readingOf("5.001"));
    EXPECT_EQ(loggedNumbers(), (Numbers{2}));
}

TEST_F(MeasurementLogTest, IntervalZeroLogsEveryReading)
{
    log.Sampling().RecordSI = true;
    log.Sampling().RecordSITimeChange("0");
    logDistinct(10);
    EXPECT_EQ(table.size(), 10u);
}

TEST_F(MeasurementLogTest, IntervalIgnoredWhileRecordSIIsUnchecked)
{
    log.Sampling().RecordSITimeChange("5");
    logDistinct(10);
    EXPECT_EQ(table.size(), 10u);
    EXPECT_EQ(log.Sampling().SampleCountdown, 5) << "still set at every logged row";
}

TEST_F(MeasurementLogTest, RefusedByTheIntervalUsesNoNumber)
{
    log.Sampling().RecordSI = true;
    log.Sampling().RecordSITimeChange("2");
    log.Sampling().SampleCountdown = 0;
    logDistinct(1);
    const LogResult refused = log.INDataToTable(readingOf("x"));
    EXPECT_EQ(refused.Outcome, LogOutcome::RefusedInterval);
    EXPECT_EQ(log.NextRecordNo(), 2);
    EXPECT_EQ(chart.points.size(), 1u);
    log.Sampling().TrecordTimer();
    log.Sampling().TrecordTimer();
    logDistinct(1);
    EXPECT_EQ(loggedNumbers(), (Numbers{1, 2}));
}

TEST_F(MeasurementLogTest, CheckingRecordSIAgainWaitsForTheLastRowsCountdown)
{
    log.Sampling().RecordSITimeChange("3");
    logDistinct(1); // countdown 3, not counting while RecordSI is off
    log.Sampling().TrecordTimer();
    log.Sampling().RecordSI = true;
    EXPECT_EQ(log.INDataToTable(readingOf("y")).Outcome, LogOutcome::RefusedInterval);
    for (int i = 0; i < 3; ++i)
        log.Sampling().TrecordTimer();
    EXPECT_TRUE(log.INDataToTable(readingOf("z")).logged());
}

// Readings every 250 ms, Trecord ticks every second at some phase: rows logged with
// the interval at 5 s lie more than 4 s and at most 5 s (plus one frame) apart.
class IntervalSchedule : public ::testing::TestWithParam<int> {};

TEST_P(IntervalSchedule, FiveSecondsBetweenRows)
{
    LogStore table;
    FakeChart chart;
    int nowMs = 0;
    MeasurementLog log(table, chart, [&nowMs] { return std::to_string(nowMs); });
    log.Sampling().RecordSI = true;
    log.Sampling().RecordSITimeChange("5");
    log.Sampling().SampleCountdown = 0;

    const int tickPhaseMs = GetParam();
    constexpr int FrameMs = 250;
    std::vector<int> loggedAt;
    for (nowMs = 0; nowMs < 60000; nowMs += 10) {
        if (nowMs % 1000 == tickPhaseMs)
            log.Sampling().TrecordTimer();
        if (nowMs % FrameMs == 0 && log.INDataToTable(readingOf(std::to_string(nowMs))).logged())
            loggedAt.push_back(nowMs);
    }
    ASSERT_GE(loggedAt.size(), 10u);
    EXPECT_EQ(loggedAt.front(), 0);
    for (std::size_t i = 1; i < loggedAt.size(); ++i) {
        const int gap = loggedAt[i] - loggedAt[i - 1];
        EXPECT_GT(gap, 4000) << "row " << i;
        EXPECT_LE(gap, 5000 + FrameMs) << "row " << i;
    }
    EXPECT_EQ(std::to_string(loggedAt.back()), std::string(table.row(table.size() - 1).Time));
}

INSTANTIATE_TEST_SUITE_P(MeasurementLog, IntervalSchedule, ::testing::Values(0, 10, 240, 500, 990),
                         [](const auto& info) { return "TickAt" + std::to_string(info.param) + "ms"; });

TEST_F(MeasurementLogTest, LimitRefusesSilentlyAndAHigherLimitContinuesTheNumbering)
{
    log.RecordLimits().SelectByName("N10001"); // 1000
    logDistinct(1000);
    EXPECT_EQ(log.LoggedCount(), 1000);
    const LogResult refused = log.INDataToTable(readingOf("one more"));
    EXPECT_EQ(refused.Outcome, LogOutcome::RefusedLimit);
    EXPECT_EQ(log.NextRecordNo(), 1001) << "no number used";
    EXPECT_EQ(table.size(), 1000u);
    EXPECT_EQ(chart.points.size(), 1000u);

    log.RecordLimits().SelectByName("N50001"); // 5000
    logDistinct(1);
    EXPECT_EQ(table.row(table.size() - 1).No, 1001);
    logDistinct(5000);
    EXPECT_EQ(log.LoggedCount(), 5000);
    EXPECT_EQ(table.size(), 5000u);
}

TEST_F(MeasurementLogTest, LimitComesBeforeTheRepeatFilter)
{
    log.RecordLimits().SelectByName("N10001");
    log.Sampling().RepeatSet = false;
    logDistinct(1000);
    const std::int32_t next = log.NextRecordNo();
    log.INDataToTable(readingOf("999")); // the last logged key: a repeat, but refused first
    EXPECT_EQ(log.NextRecordNo(), next);
}

TEST_F(MeasurementLogTest, LoweringTheLimitBelowTheCountStopsAtOnceUntilCloseData)
{
    logDistinct(1500);
    log.RecordLimits().SelectByName("N10001");
    EXPECT_EQ(log.INDataToTable(readingOf("stop")).Outcome, LogOutcome::RefusedLimit);
    EXPECT_EQ(table.size(), 1500u);
    EXPECT_EQ(log.LoggedCount(), 1500) << "choosing a limit changes nothing else";
    log.CloseData();
    logDistinct(1);
    EXPECT_EQ(loggedNumbers(), (Numbers{1}));
}

TEST_F(MeasurementLogTest, RowsLoadedFromFilesDoNotCountTowardsTheLimit)
{
    log.RecordLimits().SelectByName("N10001");
    LogRowInput loaded;
    loaded.No = 77;
    for (int i = 0; i < 2000; ++i)
        table.append(loaded);
    logDistinct(1);
    EXPECT_EQ(table.size(), 2001u);
    EXPECT_EQ(table.row(2000).No, 1);
    EXPECT_EQ(log.LoggedCount(), 1);
}

// Counts points instead of keeping them, for runs of millions of rows.
class CountingChart : public ChartFeed {
public:
    long long points = 0;
    void AddPoint(double) override { ++points; }
    void ClearPoints() override { points = 0; }
    int CurrentPage() const override { return points == 0 ? 1 : static_cast<int>((points + 99) / 100); }
};

TEST(MeasurementLogLimitless, StopsAfterExactlyTenMillionRows)
{
    // The whole run, as the meter would do it over days: about 300 MB and a second or
    // two; it shows "limitless" is a real limit, not an unbounded table.
    LogStore table;
    CountingChart chart;
    MeasurementLog log(table, chart, [] { return std::string("12:00:00"); });
    ASSERT_TRUE(log.RecordLimits().SelectByName("limitess"));
    const Reading reading = readingOf("1.00000", "V", 1.0);
    const auto start = std::chrono::steady_clock::now();
    std::int32_t logged = 0;
    while (log.INDataToTable(reading).logged())
        ++logged;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(logged, 10000000);
    EXPECT_EQ(table.size(), 10000000u);
    EXPECT_EQ(table.row(9999999).No, 10000000);
    EXPECT_EQ(log.NextRecordNo(), 10000001);
    EXPECT_EQ(log.INDataToTable(reading).Outcome, LogOutcome::RefusedLimit);
    EXPECT_EQ(chart.points, 10000000);
    RecordProperty("seconds", std::to_string(seconds));
    std::printf("10,000,000 rows in %.2f s, store %.1f MB\n", seconds, table.memoryBytes() / 1e6);
}

} // namespace
} // namespace varnex

namespace varnex {
namespace {

class RecordingListener : public LoggedRowListener {
public:
    struct Seen {
        std::int32_t no;
        std::string value;
        std::int64_t utcMs;
        std::optional<double> si;
        RowSource source;
    };
    std::vector<Seen> rows;
    int clears = 0;
    void rowLogged(const LoggedRow& row) override
    {
        rows.push_back({row.row.No, std::string(row.row.Value), row.utcMs, row.si.value, row.source});
    }
    void rowsCleared() override { ++clears; }
};

TEST_F(MeasurementLogTest, ListenersHearLoggedRowsOnlyWithTheirTimeAndSiValue)
{
    RecordingListener listener;
    std::int64_t utc = 1'700'000'000'123;
    log.setUtcClock([&] { return utc++; });
    log.setDecimalSeparator(",");
    log.addListener(&listener);
    log.addListener(&listener); // once is enough
    log.Sampling().RepeatSet = false;
    log.INDataToTable(readingOf("1,5", "mV"));
    log.INDataToTable(readingOf("1,5", "mV")); // repeat filter: no row, no event
    log.INDataToTable(readingOf("2,5", "K*"));
    ASSERT_EQ(listener.rows.size(), 2u);
    EXPECT_EQ(listener.rows[0].no, 1);
    EXPECT_EQ(listener.rows[0].utcMs, 1'700'000'000'123);
    ASSERT_TRUE(listener.rows[0].si);
    EXPECT_DOUBLE_EQ(*listener.rows[0].si, 0.0015);
    EXPECT_EQ(listener.rows[0].source, RowSource::Meter);
    EXPECT_EQ(listener.rows[1].no, 3);
    EXPECT_DOUBLE_EQ(*listener.rows[1].si, 2500.0);

    log.CloseData();
    EXPECT_EQ(listener.clears, 1);
    log.removeListener(&listener);
    log.INDataToTable(readingOf("9,0"));
    EXPECT_EQ(listener.rows.size(), 2u);
}

TEST_F(MeasurementLogTest, AnnouncedRowsReachListenersWithTheirSource)
{
    RecordingListener listener;
    log.addListener(&listener);
    LogRowInput row;
    row.No = 7;
    row.Value = "3.0";
    row.Unit = "V";
    log.announceRow(row, RowSource::Load);
    ASSERT_EQ(listener.rows.size(), 1u);
    EXPECT_EQ(listener.rows[0].source, RowSource::Load);
    EXPECT_EQ(listener.rows[0].utcMs, 0);
    EXPECT_DOUBLE_EQ(*listener.rows[0].si, 3.0);
}

} // namespace
} // namespace varnex
