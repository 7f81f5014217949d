#include "log/TimeOfDay.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QRegularExpression>
#include <cstdint>
#include <functional>
#include <string>
#include "support/ParamName.h"

namespace varnex {
namespace {

struct FormatCase {
    const char* locale;
    const char* timeOnly;
};

class TimeFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TimeFormat, KeepsHoursMinutesSecondsAndTheMarkerOnly)
{
    EXPECT_EQ(TimeOnlyFormat(QString::fromUtf8(GetParam().locale)),
              QString::fromUtf8(GetParam().timeOnly))
        << GetParam().locale;
}

INSTANTIATE_TEST_SUITE_P(
    TimeOfDay, TimeFormat,
    ::testing::Values(
        FormatCase{"HH:mm:ss t", "HH:mm:ss"},             // 24-hour, zone after
        FormatCase{"h:mm:ss AP t", "h:mm:ss AP"},         // 12-hour
        FormatCase{"t HH:mm:ss", "HH:mm:ss"},             // zone first
        FormatCase{"HH:mm:ss (t)", "HH:mm:ss"},           // zone in brackets
        FormatCase{"AP h:mm:ss", "AP h:mm:ss"},           // marker first
        FormatCase{"HH.mm.ss", "HH.mm.ss"},               // other separators
        FormatCase{"HH:mm:ss.zzz t", "HH:mm:ss"},         // milliseconds dropped
        FormatCase{"HH:mm", "HH:mm:ss"},                  // no seconds: added
        FormatCase{"h:mm ap", "h:mm:ss ap"},
        FormatCase{"H.mm", "H.mm.ss"},                    // with the minutes' separator
        FormatCase{"'kl'. HH:mm:ss", "'kl'. HH:mm:ss"},   // quoted words stay
        FormatCase{"H 'h' mm 'min' ss 's' t", "H 'h' mm 'min' ss 's'"},
        FormatCase{"ss", "HH:mm:ss"},                     // nothing usable
        FormatCase{"", "HH:mm:ss"}),
    [](const auto& info) { return varnex::testing::ParamName(info.param.locale); });

TEST(TimeOfDay, TwentyFourHourLocale)
{
    EXPECT_EQ(TimeOfDayText(QTime(14, 5, 9), QLocale(QLocale::German, QLocale::Germany)), "14:05:09");
    EXPECT_EQ(TimeOfDayText(QTime(0, 0, 0), QLocale(QLocale::German, QLocale::Germany)), "00:00:00");
}

TEST(TimeOfDay, TwelveHourLocale)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(TimeOfDayText(QTime(14, 5, 9), us), "2:05:09 PM");
    EXPECT_EQ(TimeOfDayText(QTime(0, 30, 0), us), "12:30:00 AM");
}

TEST(TimeOfDay, EveryLocaleGivesAShortLatin1TimeWithSeconds)
{
    // Whatever the locale, the text fits the 20-character field and shows the
    // minutes and seconds in digits the log can store.
    const auto locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 100);
    for (const QLocale& locale : locales) {
        const std::string text = TimeOfDayText(QTime(14, 5, 9), locale);
        const std::string name = locale.name().toStdString();
        EXPECT_LE(text.size(), 20u) << name;
        // Minutes may come without a leading zero ("14-a horo kaj 5:09" in Esperanto).
        EXPECT_NE(text.find('5'), std::string::npos) << name << ": " << text;
        EXPECT_NE(text.find("09"), std::string::npos) << name << ": " << text;
        EXPECT_TRUE(text.find("14") != std::string::npos || text.find('2') != std::string::npos)
            << name << ": " << text;
    }
}

TEST(TimeOfDay, LocalClockGivesTheCurrentTime)
{
    LocalTimeOfDayClock clock(QLocale(QLocale::German, QLocale::Germany));
    const QTime before = QTime::currentTime();
    const std::string text = clock();
    const QTime after = QTime::currentTime();
    const QTime read = QTime::fromString(QString::fromStdString(text), "HH:mm:ss");
    ASSERT_TRUE(read.isValid()) << text;
    EXPECT_GE(read.msecsSinceStartOfDay() / 1000, before.msecsSinceStartOfDay() / 1000 - 1);
    EXPECT_LE(read.msecsSinceStartOfDay() / 1000, after.msecsSinceStartOfDay() / 1000 + 1);
}

// A clock on a made-up time and zone that counts how often the zone is read.
struct FakeTimeAndZone {
    std::int64_t now = 1'700'000'000; // 2023-11-14 22:13:20 UTC
    std::function<int(std::int64_t)> zone = [](std::int64_t) { return 3600; };
    int zoneReads = 0;

    LocalTimeOfDayClock clock()
    {
        return LocalTimeOfDayClock(
            QLocale(QLocale::German, QLocale::Germany), [this] { return now; },
            [this](std::int64_t at) {
                ++zoneReads;
                return zone(at);
            });
    }
    static std::string Expected(std::int64_t utcSeconds, int offset)
    {
        const std::int64_t day = ((utcSeconds + offset) % 86400 + 86400) % 86400;
        return QTime::fromMSecsSinceStartOfDay(static_cast<int>(day) * 1000).toString("HH:mm:ss").toStdString();
    }
};

TEST(LocalTimeOfDayClock, ReadsTheZoneAtMostTwiceAMinuteNotPerRow)
{
    FakeTimeAndZone fake;
    LocalTimeOfDayClock clock = fake.clock();
    const std::int64_t start = fake.now;
    for (; fake.now < start + 600; ++fake.now)
        for (int row = 0; row < 5; ++row)
            ASSERT_EQ(clock(), FakeTimeAndZone::Expected(fake.now, 3600));
    // each reading looks at now and a minute ahead: ten minutes, at most 2 x 10 reads
    EXPECT_LE(fake.zoneReads, 2 * 10);
    EXPECT_GE(fake.zoneReads, 2 * 10 - 2) << "the zone is read again each minute";
}

TEST(LocalTimeOfDayClock, AChangedZoneShowsWithinAMinute)
{
    FakeTimeAndZone fake;
    int offset = 0;
    fake.zone = [&offset](std::int64_t) { return offset; };
    LocalTimeOfDayClock clock = fake.clock();
    const std::int64_t start = fake.now;
    EXPECT_EQ(clock(), FakeTimeAndZone::Expected(start, 0));
    offset = 2 * 3600; // the user picks another zone
    std::int64_t shownAt = -1;
    for (fake.now = start + 1; fake.now <= start + 120 && shownAt < 0; ++fake.now)
        if (clock() == FakeTimeAndZone::Expected(fake.now, offset))
            shownAt = fake.now - start;
    ASSERT_GT(shownAt, 0) << "never shown";
    EXPECT_LE(shownAt, LocalTimeOfDayClock::ZoneRereadSeconds);
}

// Central Europe, spring 2024: 02:00 CET (01:00 UTC, 31 March) becomes 03:00 CEST.
constexpr std::int64_t SpringForward = 1'711'846'800;
int CentralEurope(std::int64_t utc) { return utc < SpringForward ? 3600 : 7200; }

TEST(LocalTimeOfDayClock, DaylightSavingSwitchShowsOnItsSecond)
{
    FakeTimeAndZone fake;
    fake.zone = CentralEurope;
    LocalTimeOfDayClock clock = fake.clock();
    for (fake.now = SpringForward - 150; fake.now < SpringForward + 150; ++fake.now)
        ASSERT_EQ(clock(), FakeTimeAndZone::Expected(fake.now, CentralEurope(fake.now)))
            << "at " << fake.now - SpringForward << " s from the switch";
    EXPECT_EQ(FakeTimeAndZone::Expected(SpringForward, 7200), "03:00:00");
}

TEST(LocalTimeOfDayClock, AClockSetBackAcrossASwitchReadsTheZoneAgain)
{
    FakeTimeAndZone fake;
    fake.zone = CentralEurope;
    LocalTimeOfDayClock clock = fake.clock();
    fake.now = SpringForward + 10;
    EXPECT_EQ(clock(), "03:00:10");
    fake.now = SpringForward - 10; // set back by the time service
    EXPECT_EQ(clock(), "01:59:50");
}

TEST(LocalTimeOfDayClock, FollowsTheSystemZoneOfTheMoment)
{
    // the real clock and zone against Qt's own local time, for a zone given by TZ
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "Asia/Kolkata"); // +05:30 all year
    LocalTimeOfDayClock clock(QLocale(QLocale::German, QLocale::Germany));
    const std::int64_t before = QDateTime::currentSecsSinceEpoch();
    const std::string text = clock();
    const std::int64_t after = QDateTime::currentSecsSinceEpoch();
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    EXPECT_TRUE(text == FakeTimeAndZone::Expected(before, 19800) || text == FakeTimeAndZone::Expected(after, 19800))
        << text;
}

TEST(TimeOfDay, SystemLocaleClockFitsTheField)
{
    LocalTimeOfDayClock clock;
    const std::string text = clock();
    EXPECT_FALSE(text.empty());
    EXPECT_LE(text.size(), 20u);
    EXPECT_TRUE(QRegularExpression("\\d.*\\d.*\\d").match(QString::fromLatin1(text.c_str())).hasMatch())
        << text;
}

} // namespace
} // namespace varnex
