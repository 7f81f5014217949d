#include "app/trend/TimeOfDayPlacement.h"

#include "log/TimeOfDay.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <limits>
#include <vector>

namespace varnex {

namespace {

// "7:05:09", "13:05:09", "1:05:09 PM": the forms the log writes, read without Qt's parser
// (a loaded file announces thousands of rows per slice of the UI thread).
std::optional<QTime> FastTimeOfDay(std::string_view t)
{
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    auto digit = [&](std::size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
    std::size_t i = 0;
    int h = 0;
    if (!digit(0))
        return std::nullopt;
    h = t[0] - '0';
    i = 1;
    if (digit(1)) {
        h = h * 10 + (t[1] - '0');
        i = 2;
    }
    if (i + 6 > t.size() || t[i] != ':' || !digit(i + 1) || !digit(i + 2) || t[i + 3] != ':' || !digit(i + 4) ||
        !digit(i + 5))
        return std::nullopt;
    const int m = (t[i + 1] - '0') * 10 + (t[i + 2] - '0');
    const int s = (t[i + 4] - '0') * 10 + (t[i + 5] - '0');
    std::string_view rest = t.substr(i + 6);
    if (!rest.empty()) {
        if (rest == " AM" || rest == " am" || rest == " PM" || rest == " pm") {
            if (h < 1 || h > 12)
                return std::nullopt;
            const bool pm = rest[1] == 'P' || rest[1] == 'p';
            h = h % 12 + (pm ? 12 : 0);
        } else {
            return std::nullopt;
        }
    }
    const QTime time(h, m, s);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

} // namespace

std::optional<QTime> ParseTimeOfDay(std::string_view text)
{
    if (const auto fast = FastTimeOfDay(text))
        return fast;
    const QString trimmed = QString::fromLatin1(text.data(), qsizetype(text.size())).trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    static const QString systemFormat = TimeOnlyFormat(QLocale::system().timeFormat(QLocale::LongFormat));
    const QString formats[] = {
        QStringLiteral("H:mm:ss"), QStringLiteral("H:mm:ss.zzz"), QStringLiteral("h:mm:ss AP"),
        QStringLiteral("h:mm:ss ap"), QStringLiteral("H.mm.ss"), systemFormat,
    };
    const QLocale c = QLocale::c();
    for (const QString& format : formats) {
        const QTime t = c.toTime(trimmed, format);
        if (t.isValid())
            return t;
        const QTime local = QLocale::system().toTime(trimmed, format);
        if (local.isValid())
            return local;
    }
    return std::nullopt;
}

TimeOfDayPlacement::TimeOfDayPlacement(QTimeZone zone, QDate firstDay) : zone_(std::move(zone))
{
    restart(firstDay);
}

void TimeOfDayPlacement::restart(QDate firstDay)
{
    firstDay_ = firstDay;
    day_ = firstDay;
    previousUtc_.reset();
    dayChanges_ = 0;
}

std::optional<std::int64_t> TimeOfDayPlacement::onDay(QDate day, QTime time, std::int64_t notBefore) const
{
    // The local time as if it were UTC, less each offset the zone has around that day; the
    // earliest that really shows this local time and does not go back is the one.
    const std::int64_t asUtc = QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch() + time.msecsSinceStartOfDay();
    if (day != cachedDay_) {
        // The offsets the zone has around that day, worked out once per day.
        cachedDay_ = day;
        const std::int64_t midnight = QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        cachedOffsets_ = {zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(midnight, Qt::UTC))};
        const QDateTime from = QDateTime::fromMSecsSinceEpoch(midnight - 2 * 86400000LL, Qt::UTC);
        const QDateTime to = QDateTime::fromMSecsSinceEpoch(midnight + 3 * 86400000LL, Qt::UTC);
        for (const QTimeZone::OffsetData& t : zone_.transitions(from, to)) {
            cachedOffsets_.push_back(t.offsetFromUtc);
            cachedOffsets_.push_back(zone_.offsetFromUtc(t.atUtc.addMSecs(-1)));
        }
        std::sort(cachedOffsets_.begin(), cachedOffsets_.end());
        cachedOffsets_.erase(std::unique(cachedOffsets_.begin(), cachedOffsets_.end()), cachedOffsets_.end());
    }
    std::optional<std::int64_t> best;
    for (int offset : cachedOffsets_) {
        const std::int64_t utc = asUtc - std::int64_t(offset) * 1000;
        if (utc < notBefore)
            continue;
        // With one offset around the day it holds; otherwise check it at that moment.
        if (cachedOffsets_.size() > 1 && zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utc, Qt::UTC)) != offset)
            continue;
        if (!best || utc < *best)
            best = utc;
    }
    return best;
}

std::int64_t TimeOfDayPlacement::place(QTime timeOfDay)
{
    if (!previousUtc_) {
        std::int64_t utc = QDateTime(day_, timeOfDay, zone_).toMSecsSinceEpoch();
        if (const auto exact = onDay(day_, timeOfDay, std::numeric_limits<std::int64_t>::min()))
            utc = *exact;
        previousUtc_ = utc;
        previousTime_ = timeOfDay;
        return utc;
    }
    if (const auto sameDay = onDay(day_, timeOfDay, *previousUtc_)) {
        previousUtc_ = sameDay;
        previousTime_ = timeOfDay;
        return *sameDay;
    }
    if (timeOfDay >= previousTime_) {
        // A local time the clocks skipped (they went forward): keep the order.
        previousUtc_ = std::max<std::int64_t>(QDateTime(day_, timeOfDay, zone_).toMSecsSinceEpoch(), *previousUtc_);
        previousTime_ = timeOfDay;
        return *previousUtc_;
    }
    // The time went back: the next day began.
    day_ = day_.addDays(1);
    ++dayChanges_;
    std::int64_t utc = QDateTime(day_, timeOfDay, zone_).toMSecsSinceEpoch();
    if (const auto nextDay = onDay(day_, timeOfDay, std::numeric_limits<std::int64_t>::min()))
        utc = *nextDay;
    previousUtc_ = std::max(utc, *previousUtc_);
    previousTime_ = timeOfDay;
    return previousUtc_.value();
}

} // namespace varnex
