// Rows of a 7-column file have only a time of day: placing them on days (midnight,
// the clocks going back and forward in Europe/Berlin), and the feed that does it.
#include "app/trend/TimeOfDayPlacement.h"
#include "app/trend/TrendFeed.h"
#include "log/LogStore.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

const QTimeZone& Berlin()
{
    static const QTimeZone zone("Europe/Berlin");
    return zone;
}

QString LocalText(std::int64_t utcMs)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, Berlin()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t"));
}

QString UtcText(std::int64_t utcMs)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

struct PlacementCase {
    const char* name;
    const char* firstDay;
    std::vector<const char*> times;
    std::vector<const char*> expectedUtc;
    int dayChanges;
};

class TimeOfDayPlacementCases : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(TimeOfDayPlacementCases, PlacesEachTimeOnItsDay)
{
    ASSERT_TRUE(Berlin().isValid());
    const PlacementCase& c = GetParam();
    TimeOfDayPlacement placement(Berlin(), QDate::fromString(QString::fromLatin1(c.firstDay), Qt::ISODate));
    ASSERT_EQ(c.times.size(), c.expectedUtc.size());
    for (std::size_t i = 0; i < c.times.size(); ++i) {
        const auto time = ParseTimeOfDay(c.times[i]);
        ASSERT_TRUE(time) << c.times[i];
        const std::int64_t utc = placement.place(*time);
        EXPECT_EQ(UtcText(utc), QString::fromLatin1(c.expectedUtc[i]))
            << "row " << i << " " << c.times[i] << " placed at " << LocalText(utc).toStdString();
    }
    EXPECT_EQ(placement.dayChanges(), c.dayChanges);
}

INSTANTIATE_TEST_SUITE_P(
    Berlin, TimeOfDayPlacementCases,
    ::testing::Values(
        PlacementCase{"MidnightStartsTheNextDay", "2026-12-09",
                      {"23:59:58", "23:59:59", "00:00:00", "00:00:01"},
                      {"2026-12-09 22:59:58", "2026-12-09 22:59:59", "2026-12-09 23:00:00", "2026-12-09 23:00:01"},
                      1},
        PlacementCase{"TwoMidnightsTwoDays", "2026-12-09",
                      {"12:00:00", "00:00:05", "12:00:00", "01:00:00"},
                      {"2026-12-09 11:00:00", "2026-12-09 23:00:05", "2026-12-10 11:00:00", "2026-12-11 00:00:00"},
                      2},
        PlacementCase{"EqualTimesStayOnTheDay", "2026-12-09",
                      {"10:00:00", "10:00:00", "10:00:00"},
                      {"2026-12-09 09:00:00", "2026-12-09 09:00:00", "2026-12-09 09:00:00"},
                      0},
        // 2026-10-25 03:00 CEST becomes 02:00 CET: the hour from 02:00 comes twice.
        PlacementCase{"RepeatedHourWhenClocksGoBack", "2026-10-25",
                      {"01:30:00", "02:30:00", "02:59:59", "02:00:00", "02:30:00", "03:30:00"},
                      {"2026-10-24 23:30:00", "2026-10-25 00:30:00", "2026-10-25 00:59:59",
                       "2026-10-25 01:00:00", "2026-10-25 01:30:00", "2026-10-25 02:30:00"},
                      0},
        // Going back by more than the hour the clocks went back is a new day.
        PlacementCase{"LongerStepBackOnThatDayIsANewDay", "2026-10-25",
                      {"03:30:00", "02:10:00"},
                      {"2026-10-25 02:30:00", "2026-10-26 01:10:00"},
                      1},
        // 2026-03-29 02:00 CET becomes 03:00 CEST.
        PlacementCase{"HourSkippedWhenClocksGoForward", "2026-03-29",
                      {"01:59:59", "03:00:00", "03:00:01"},
                      {"2026-03-29 00:59:59", "2026-03-29 01:00:00", "2026-03-29 01:00:01"},
                      0},
        PlacementCase{"TwelveHourClockText", "2026-12-09",
                      {"11:59:59 PM", "12:00:01 AM"},
                      {"2026-12-09 22:59:59", "2026-12-09 23:00:01"},
                      1}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

TEST(TimeOfDayText, TextsThatAreNoTimeAreRefused)
{
    EXPECT_FALSE(ParseTimeOfDay(""));
    EXPECT_FALSE(ParseTimeOfDay("DCV"));
    EXPECT_FALSE(ParseTimeOfDay("25:00:00"));
    ASSERT_TRUE(ParseTimeOfDay(" 7:05:09 "));
    EXPECT_EQ(*ParseTimeOfDay(" 7:05:09 "), QTime(7, 5, 9));
}

LoggedRow Row(const char* time, const char* function, const char* value, const char* unit, std::int64_t utcMs,
              RowSource source)
{
    LoggedRow row;
    row.row.Time = time;
    row.row.Function = function;
    row.row.Value = value;
    row.row.Unit = unit;
    row.utcMs = utcMs;
    row.source = source;
    row.si = ToSiQuantity(value, unit, ".");
    return row;
}

TEST(TrendFeed, LoadedRowsArePlacedFromTheirDayAndMeterRowsKeepTheirTime)
{
    TrendFeed feed(Berlin(), [] { return QDate(2026, 12, 9); });
    int changes = 0;
    feed.setChanged([&] { ++changes; });
    feed.rowLogged(Row("23:59:59", "DCV", "1.00000", "V", 0, RowSource::Load));
    feed.rowLogged(Row("00:00:01", "DCV", "2.00000", "mV", 0, RowSource::Load));
    feed.rowLogged(Row("00:00:02", "OHM", "OL", "M*", 0, RowSource::Load));
    feed.rowLogged(Row("10:00:00", "DCV", "3.00000", "V", 1'800'000'000'000, RowSource::Meter));
    EXPECT_EQ(changes, 4);

    const TrendSeries& s = feed.series();
    ASSERT_EQ(s.size(), 4);
    EXPECT_EQ(UtcText(s.timeAt(0)), "2026-12-09 22:59:59");
    EXPECT_EQ(UtcText(s.timeAt(1)), "2026-12-09 23:00:01");
    EXPECT_EQ(s.timeAt(3), 1'800'000'000'000);
    EXPECT_FLOAT_EQ(s.valueAt(1), 0.002f); // in SI units
    EXPECT_EQ(s.valueAt(2), kOverloadValue);
    EXPECT_EQ(s.lanes().size(), 2u); // DCV in V (V and mV together), OHM in Ω
    EXPECT_EQ(feed.placedFirstDay(), QDate(2026, 12, 9));
    EXPECT_EQ(feed.placedDayChanges(), 1);
    EXPECT_TRUE(s.hasPlacedRows());

    feed.rowsCleared(); // "Close Data"
    EXPECT_EQ(feed.series().size(), 0);
    EXPECT_EQ(feed.placedDayChanges(), 0);
    EXPECT_EQ(changes, 5);
}

TEST(TrendFeed, CatchesUpWithRowsTheTableGotWithoutTelling)
{
    LogStore table;
    table.append(LogRowInput{1, "08:00:00", "DCV", "1.5", "V", "", ""});
    table.append(LogRowInput{2, "08:00:01", "DCV", "1.6", "V", "", ""});
    TrendFeed feed(Berlin(), [] { return QDate(2026, 12, 9); });
    feed.catchUpWith(table, ".");
    ASSERT_EQ(feed.series().size(), 2);
    EXPECT_FLOAT_EQ(feed.series().valueAt(1), 1.6f);
    EXPECT_EQ(UtcText(feed.series().timeAt(1)), "2026-12-09 07:00:01");
    // Already in step: nothing is built again.
    feed.rowLogged(Row("09:00:00", "DCV", "9", "V", 5, RowSource::Meter));
    table.append(LogRowInput{3, "09:00:00", "DCV", "9", "V", "", ""});
    feed.catchUpWith(table, ".");
    EXPECT_EQ(feed.series().timeAt(2), 5);
}

} // namespace
} // namespace varnex
