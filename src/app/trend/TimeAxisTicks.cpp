#include "app/trend/TimeAxisTicks.h"

#include <QDateTime>

#include <array>
#include <cmath>

namespace varnex {

namespace {

struct Step {
    TimeTickUnit unit;
    std::int64_t ms;
    int count; // for days and months: how many of them
};

constexpr std::int64_t kSecond = 1000, kMinute = 60 * kSecond, kHour = 60 * kMinute, kDay = 24 * kHour;

constexpr std::array<Step, 32> kSteps{{
    {TimeTickUnit::Millisecond, 1, 1},     {TimeTickUnit::Millisecond, 2, 1},
    {TimeTickUnit::Millisecond, 5, 1},     {TimeTickUnit::Millisecond, 10, 1},
    {TimeTickUnit::Millisecond, 20, 1},    {TimeTickUnit::Millisecond, 50, 1},
    {TimeTickUnit::Millisecond, 100, 1},   {TimeTickUnit::Millisecond, 200, 1},
    {TimeTickUnit::Millisecond, 500, 1},   {TimeTickUnit::Second, kSecond, 1},
    {TimeTickUnit::Second, 2 * kSecond, 1}, {TimeTickUnit::Second, 5 * kSecond, 1},
    {TimeTickUnit::Second, 10 * kSecond, 1}, {TimeTickUnit::Second, 15 * kSecond, 1},
    {TimeTickUnit::Second, 30 * kSecond, 1}, {TimeTickUnit::Minute, kMinute, 1},
    {TimeTickUnit::Minute, 2 * kMinute, 1}, {TimeTickUnit::Minute, 5 * kMinute, 1},
    {TimeTickUnit::Minute, 10 * kMinute, 1}, {TimeTickUnit::Minute, 15 * kMinute, 1},
    {TimeTickUnit::Minute, 30 * kMinute, 1}, {TimeTickUnit::Hour, kHour, 1},
    {TimeTickUnit::Hour, 2 * kHour, 1},     {TimeTickUnit::Hour, 3 * kHour, 1},
    {TimeTickUnit::Hour, 6 * kHour, 1},     {TimeTickUnit::Hour, 12 * kHour, 1},
    {TimeTickUnit::Day, kDay, 1},           {TimeTickUnit::Day, 2 * kDay, 2},
    {TimeTickUnit::Day, 7 * kDay, 7},       {TimeTickUnit::Month, 30 * kDay, 1},
    {TimeTickUnit::Month, 91 * kDay, 3},    {TimeTickUnit::Month, 365 * kDay, 12},
}};

int LabelChars(TimeTickUnit unit)
{
    switch (unit) {
    case TimeTickUnit::Millisecond: return 12; // 13:05:09.250
    case TimeTickUnit::Second: return 8;
    case TimeTickUnit::Minute:
    case TimeTickUnit::Hour: return 5;
    case TimeTickUnit::Day: return 10;
    case TimeTickUnit::Month: return 8;
    }
    return 10;
}

QString Label(const QDateTime& local, TimeTickUnit unit)
{
    switch (unit) {
    case TimeTickUnit::Millisecond: return local.toString(QStringLiteral("HH:mm:ss.zzz"));
    case TimeTickUnit::Second: return local.toString(QStringLiteral("HH:mm:ss"));
    case TimeTickUnit::Minute:
    case TimeTickUnit::Hour: return local.toString(QStringLiteral("HH:mm"));
    case TimeTickUnit::Day: return local.toString(QStringLiteral("yyyy-MM-dd"));
    case TimeTickUnit::Month: return local.toString(QStringLiteral("MMM yyyy"));
    }
    return {};
}

} // namespace

TimeAxis ComputeTimeAxis(double fromMs, double toMs, double widthPx, double charWidthPx, const QTimeZone& zone)
{
    TimeAxis axis;
    if (!(toMs > fromMs) || widthPx < 2.0)
        return axis;
    const double span = toMs - fromMs;
    Step step = kSteps.back();
    for (const Step& s : kSteps) {
        const double labelPx = (LabelChars(s.unit) + 3) * charWidthPx;
        if (span / double(s.ms) * labelPx <= widthPx) {
            step = s;
            break;
        }
    }
    axis.unit = step.unit;
    axis.stepMs = step.ms;

    QDate lastDate;
    auto addTick = [&](const QDateTime& at) {
        const QDateTime local = at.toTimeZone(zone);
        TimeTick tick;
        tick.utcMs = double(at.toMSecsSinceEpoch());
        tick.label = Label(local, step.unit);
        if (step.unit < TimeTickUnit::Day && local.date() != lastDate)
            tick.dateLabel = local.date().toString(QStringLiteral("yyyy-MM-dd"));
        lastDate = local.date();
        axis.ticks.push_back(tick);
    };

    const std::int64_t from = std::int64_t(std::ceil(fromMs));
    const std::int64_t to = std::int64_t(std::floor(toMs));
    if (step.unit == TimeTickUnit::Day || step.unit == TimeTickUnit::Month) {
        // Local midnights (first of the month for months), counted on the calendar.
        QDate date = QDateTime::fromMSecsSinceEpoch(from, zone).date();
        if (step.unit == TimeTickUnit::Month)
            date = QDate(date.year(), ((date.month() - 1) / step.count) * step.count + 1, 1);
        else
            date = date.addDays(-((date.toJulianDay()) % step.count));
        for (int guard = 0; guard < 2000; ++guard) {
            const QDateTime at = QDateTime(date, QTime(0, 0), zone);
            const std::int64_t ms = at.toMSecsSinceEpoch();
            if (ms > to)
                break;
            if (ms >= from)
                addTick(at);
            date = step.unit == TimeTickUnit::Month ? date.addMonths(step.count) : date.addDays(step.count);
        }
        return axis;
    }
    // Round local times: align on the local clock, step on the real one, and align again
    // where the clock's offset changes.
    std::int64_t t = from;
    for (int guard = 0; guard < 4000; ++guard) {
        const std::int64_t offset = std::int64_t(zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(t, Qt::UTC))) * 1000;
        const std::int64_t local = t + offset;
        std::int64_t alignedLocal = local / step.ms * step.ms;
        if (alignedLocal < local)
            alignedLocal += step.ms;
        std::int64_t tick = alignedLocal - offset;
        const std::int64_t offsetThere =
            std::int64_t(zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(tick, Qt::UTC))) * 1000;
        if (offsetThere != offset) {
            // The clock changes before that tick: continue from the change.
            const QTimeZone::OffsetData next =
                zone.nextTransition(QDateTime::fromMSecsSinceEpoch(t, Qt::UTC));
            const std::int64_t change = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch() : tick;
            if (change > t && change <= tick) {
                t = change;
                continue;
            }
        }
        if (tick > to)
            break;
        addTick(QDateTime::fromMSecsSinceEpoch(tick, Qt::UTC));
        t = tick + 1;
    }
    return axis;
}

QString DurationText(std::int64_t ms)
{
    if (ms < 0)
        ms = 0;
    if (ms < kMinute)
        return QString::number(double(ms) / 1000.0, 'f', 3) + QStringLiteral(" s");
    if (ms < kHour)
        return QStringLiteral("%1 min %2 s").arg(ms / kMinute).arg((ms % kMinute) / kSecond, 2, 10, QLatin1Char('0'));
    if (ms < kDay)
        return QStringLiteral("%1 h %2 min").arg(ms / kHour).arg((ms % kHour) / kMinute, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 d %2 h").arg(ms / kDay).arg((ms % kDay) / kHour, 2, 10, QLatin1Char('0'));
}

} // namespace varnex
