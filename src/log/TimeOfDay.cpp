#include "log/TimeOfDay.h"

#include <QDateTime>

#include <chrono>
#include <vector>

namespace varnex {

namespace {

constexpr char FallbackFormat[] = "HH:mm:ss";
constexpr int MaxTimeTextLength = 20;

// A format split into field tokens ("hh", "AP") and literal text (separators, quoted
// words), so fields can be dropped without touching the rest.
struct FormatPart {
    bool isField;
    QString text;
};

std::vector<FormatPart> splitFormat(const QString& format)
{
    std::vector<FormatPart> parts;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) { // quoted literal; '' inside is one quote
            qsizetype end = i + 1;
            while (end < format.size()) {
                if (format[end] == QLatin1Char('\'')) {
                    if (end + 1 < format.size() && format[end + 1] == QLatin1Char('\''))
                        end += 2;
                    else
                        break;
                } else {
                    ++end;
                }
            }
            parts.push_back({false, format.mid(i, end + 1 - i)});
            i = end + 1;
        } else if (c.isLetter() && c.unicode() < 0x80) {
            qsizetype end = i + 1;
            const bool marker = c.toLower() == QLatin1Char('a'); // "AP", "ap", "A", "a"
            if (marker && end < format.size() && format[end].toLower() == QLatin1Char('p'))
                ++end;
            else
                while (end < format.size() && format[end] == c)
                    ++end;
            parts.push_back({true, format.mid(i, end - i)});
            i = end;
        } else {
            qsizetype end = i + 1;
            while (end < format.size() && format[end] != QLatin1Char('\'')
                   && !(format[end].isLetter() && format[end].unicode() < 0x80))
                ++end;
            parts.push_back({false, format.mid(i, end - i)});
            i = end;
        }
    }
    return parts;
}

bool isKeptField(const QString& token)
{
    const QChar c = token[0].toLower();
    return c == QLatin1Char('h') || c == QLatin1Char('m') || c == QLatin1Char('s')
        || c == QLatin1Char('a');
}

bool hasLetterOrDigit(const QString& text)
{
    for (QChar c : text)
        if (c.isLetterOrNumber())
            return true;
    return false;
}

QChar fieldLetter(const FormatPart& part)
{
    return part.isField ? part.text[0] : QChar();
}

} // namespace

QString TimeOnlyFormat(const QString& localeTimeFormat)
{
    std::vector<FormatPart> kept;
    for (FormatPart& part : splitFormat(localeTimeFormat)) {
        if (part.isField && !isKeptField(part.text)) {
            // Dropping a field drops the separator that led up to it as well.
            if (!kept.empty() && !kept.back().isField && !hasLetterOrDigit(kept.back().text))
                kept.pop_back();
            continue;
        }
        kept.push_back(std::move(part));
    }
    // The text starts and ends with a field or a word, never with a bare separator.
    while (!kept.empty() && !kept.front().isField && !hasLetterOrDigit(kept.front().text))
        kept.erase(kept.begin());
    while (!kept.empty() && !kept.back().isField && !hasLetterOrDigit(kept.back().text))
        kept.pop_back();

    int hourAt = -1, minuteAt = -1, secondAt = -1;
    for (int i = 0; i < static_cast<int>(kept.size()); ++i) {
        const QChar f = fieldLetter(kept[i]);
        if (f == QLatin1Char('h') || f == QLatin1Char('H'))
            hourAt = i;
        else if (f == QLatin1Char('m'))
            minuteAt = i;
        else if (f == QLatin1Char('s'))
            secondAt = i;
    }
    if (hourAt < 0 || minuteAt < 0)
        return QString::fromLatin1(FallbackFormat);
    if (secondAt < 0) {
        // Seconds go after the minutes, with the separator that precedes the minutes.
        QString separator = QStringLiteral(":");
        if (minuteAt > 0 && !kept[minuteAt - 1].isField)
            separator = kept[minuteAt - 1].text;
        kept.insert(kept.begin() + minuteAt + 1,
                    {FormatPart{false, separator}, FormatPart{true, QStringLiteral("ss")}});
    }
    QString format;
    for (const FormatPart& part : kept)
        format += part.text;
    return format;
}

std::string TimeOfDayText(const QTime& time, const QLocale& locale)
{
    return TimeOfDayText(time, locale, TimeOnlyFormat(locale.timeFormat(QLocale::LongFormat)));
}

std::string TimeOfDayText(const QTime& time, const QLocale& locale, const QString& timeOnlyFormat)
{
    QString text = locale.toString(time, timeOnlyFormat);
    for (QChar& c : text)
        if (c.category() == QChar::Separator_Space)
            c = QLatin1Char(' ');
    bool latin1 = !text.isEmpty();
    for (QChar c : text)
        latin1 = latin1 && c.unicode() <= 0xFF;
    if (!latin1)
        text = QLocale::c().toString(time, QString::fromLatin1(FallbackFormat));
    return text.left(MaxTimeTextLength).toLatin1().toStdString();
}

namespace {

std::int64_t SystemUtcSeconds()
{
    // CLOCK_REALTIME through the vDSO: no system call, no zone file.
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
}

int SystemUtcOffset(std::int64_t utcSeconds)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::LocalTime).offsetFromUtc();
}

constexpr std::int64_t SecondsPerDay = 24 * 60 * 60;

} // namespace

LocalTimeOfDayClock::LocalTimeOfDayClock(QLocale locale)
    : LocalTimeOfDayClock(std::move(locale), SystemUtcSeconds, SystemUtcOffset)
{
}

LocalTimeOfDayClock::LocalTimeOfDayClock(QLocale locale, UtcSecondsSource now, UtcOffsetSource offset)
    : locale_(std::move(locale)), format_(TimeOnlyFormat(locale_.timeFormat(QLocale::LongFormat))),
      now_(std::move(now)), offsetAt_(std::move(offset))
{
}

void LocalTimeOfDayClock::readZone(std::int64_t utcSeconds)
{
    offset_ = offsetAt_(utcSeconds);
    const bool switchAhead = offsetAt_(utcSeconds + ZoneRereadSeconds) != offset_;
    zoneReadAt_ = utcSeconds;
    zoneValidUntil_ = utcSeconds + (switchAhead ? 1 : ZoneRereadSeconds);
}

std::string LocalTimeOfDayClock::operator()()
{
    const std::int64_t now = now_();
    if (now == lastUtcSecond_)
        return lastText_;
    lastUtcSecond_ = now;
    // a clock set back may have crossed a switch the last reading did not see
    if (now >= zoneValidUntil_ || now < zoneReadAt_)
        readZone(now);
    const std::int64_t secondOfDay = ((now + offset_) % SecondsPerDay + SecondsPerDay) % SecondsPerDay;
    lastText_ = TimeOfDayText(QTime::fromMSecsSinceStartOfDay(static_cast<int>(secondOfDay) * 1000), locale_,
                              format_);
    return lastText_;
}

} // namespace varnex
