#pragma once
// The Time text of a logged row: the local time of day in the user's locale, hours,
// minutes and seconds, no date and no time zone, at most 20 Latin-1 characters.
#include <QLocale>
#include <QString>
#include <QTime>
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

// The default clock: the current local time for a locale (the system's by default).
// The text is formatted once per second and reused for the readings in between.
class LocalTimeOfDayClock {
public:
    explicit LocalTimeOfDayClock(QLocale locale = QLocale::system());
    std::string operator()();

private:
    QLocale locale_;
    QString format_;
    int lastSecondOfDay_ = -1;
    std::string lastText_;
};

} // namespace varnex
