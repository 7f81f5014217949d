#pragma once
// The Time text of a logged row: the local time of day in the user's locale, hours,
// minutes and seconds, no date and no time zone, at most 20 Latin-1 characters.
#include <QLocale>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>
#include <string>

namespace varnex {

// Gives the Time text for a row being logged now. Injected so tests control the time.
using TimeOfDayClock = std::function<std::string()>;

// Turns a locale's time format (QLocale::timeFormat) into a time-only format: keeps
// hours, minutes, seconds and the AM/PM marker with the locale's own separators and
// order, drops the time zone and milliseconds, adds seconds after the minutes when the
// format has none. Falls back to "HH:mm:ss" when no hour or minute field is left.
QString TimeOnlyFormat(const QString& localeTimeFormat);

// `time` as the Time text for `locale`: formatted with TimeOnlyFormat of the locale's
// long time format, non-breaking and narrow spaces made plain spaces, cut to 20
// characters. A locale whose text is not Latin-1 (other digits, other scripts) gets
// "HH:mm:ss" in ASCII digits, since the log stores 8-bit texts.
std::string TimeOfDayText(const QTime& time, const QLocale& locale);
// The same with the time-only format already worked out.
std::string TimeOfDayText(const QTime& time, const QLocale& locale, const QString& timeOnlyFormat);

// Seconds since 1970-01-01 UTC.
using UtcSecondsSource = std::function<std::int64_t()>;
// How far the local time is ahead of UTC at a moment, in seconds.
using UtcOffsetSource = std::function<int(std::int64_t utcSeconds)>;

// The default clock: the current local time for a locale (the system's by default).
// The text is formatted once per second and reused for the readings in between. Asking
// the C library for the local time checks the zone file on every call (a stat() of
// /etc/localtime per row); instead the zone's offset is read at most once a minute and
// added to the UTC time, which costs no system call. When the offset a minute ahead
// differs (a daylight-saving switch is near) it is read every second until it has passed,
// so the switch shows on its very second; a changed zone shows within a minute.
class LocalTimeOfDayClock {
public:
    static constexpr int ZoneRereadSeconds = 60;

    explicit LocalTimeOfDayClock(QLocale locale = QLocale::system());
    // Any time and zone (tests); the default ones are the system clock and zone.
    LocalTimeOfDayClock(QLocale locale, UtcSecondsSource now, UtcOffsetSource offset);
    std::string operator()();

private:
    void readZone(std::int64_t utcSeconds);

    QLocale locale_;
    QString format_;
    UtcSecondsSource now_;
    UtcOffsetSource offsetAt_;
    int offset_ = 0;
    std::int64_t zoneReadAt_ = 0;
    std::int64_t zoneValidUntil_ = INT64_MIN;
    std::int64_t lastUtcSecond_ = INT64_MIN;
    std::string lastText_;
};

} // namespace varnex
