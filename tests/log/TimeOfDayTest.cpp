#include "log/TimeOfDay.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
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
