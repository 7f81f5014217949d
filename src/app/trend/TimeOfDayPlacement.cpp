#include "app/trend/TimeOfDayPlacement.h"

#include "log/TimeOfDay.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <limits>
#include <vector>

namespace varnex {

std::optional<QTime> ParseTimeOfDay(std::string_view text)
{
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
    const std::int64_t asUtc = QDateTime(day, time, Qt::UTC).toMSecsSinceEpoch();
    std::vector<int> offsets{zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(asUtc, Qt::UTC))};
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(asUtc - 2 * 86400000LL, Qt::UTC);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(asUtc + 2 * 86400000LL, Qt::UTC);
    for (const QTimeZone::OffsetData& t : zone_.transitions(from, to)) {
        offsets.push_back(t.offsetFromUtc);
        offsets.push_back(zone_.offsetFromUtc(t.atUtc.addMSecs(-1)));
    }
    std::optional<std::int64_t> best;
    for (int offset : offsets) {
        const std::int64_t utc = asUtc - std::int64_t(offset) * 1000;
        if (utc < notBefore)
            continue;
        if (zone_.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utc, Qt::UTC)) != offset)
            continue; // this offset does not hold at that moment
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
