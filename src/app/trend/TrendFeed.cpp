#include "app/trend/TrendFeed.h"

#include "log/LogStore.h"

#include <QDateTime>

namespace varnex {

std::string TrimmedText(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return std::string(text);
}

TrendFeed::TrendFeed(QTimeZone zone, TrendDayClock today)
    : zone_(std::move(zone)), today_(std::move(today)), placement_(zone_, QDate::currentDate())
{
    if (!today_)
        today_ = [this] { return QDateTime::currentDateTime().toTimeZone(zone_).date(); };
}

void TrendFeed::add(const LoggedRow& row)
{
    const std::string unit = !row.si.siUnit.empty() ? row.si.siUnit : row.si.plainUnit;
    const int lane = series_.laneFor(TrimmedText(row.row.Function), unit);
    float value = kNoValue;
    if (row.si.overload)
        value = kOverloadValue;
    else if (row.si.value)
        value = static_cast<float>(*row.si.value);

    const bool placed = row.utcMs == 0;
    std::int64_t utcMs = row.utcMs;
    if (placed) {
        if (!inPlacedRun_) {
            placement_.restart(today_());
            if (!placedFirstDay_.isValid())
                placedFirstDay_ = placement_.firstDay();
            inPlacedRun_ = true;
            lastPlacedMs_ = QDateTime(placement_.firstDay(), QTime(0, 0), zone_).toMSecsSinceEpoch();
        }
        const int changesBefore = placement_.dayChanges();
        // A Time text that is no time of day keeps the row at the time of the row before.
        if (const auto time = ParseTimeOfDay(row.row.Time))
            lastPlacedMs_ = placement_.place(*time);
        placedDayChanges_ += placement_.dayChanges() - changesBefore;
        utcMs = lastPlacedMs_;
    } else {
        inPlacedRun_ = false;
    }
    series_.append(lane, utcMs, value, placed);
}

void TrendFeed::rowLogged(const LoggedRow& row)
{
    add(row);
    if (changed_)
        changed_();
}

void TrendFeed::rowsCleared()
{
    series_.clear();
    ++clears_;
    inPlacedRun_ = false;
    placedFirstDay_ = QDate();
    placedDayChanges_ = 0;
    if (changed_)
        changed_();
}

void TrendFeed::catchUpWith(const LogStore& table, const std::string& decimalSeparator)
{
    if (series_.size() == std::int64_t(table.size()))
        return;
    // The series no longer matches the table row for row: build it again from the texts.
    series_.clear();
    ++clears_;
    inPlacedRun_ = false;
    placedFirstDay_ = QDate();
    placedDayChanges_ = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const LogRowView view = table.row(i);
        LoggedRow row;
        row.row = LogRowInput{view.No, view.Time, view.Function, view.Value, view.Unit, view.Value2, view.Unit2};
        row.si = ToSiQuantity(view.Value, view.Unit, decimalSeparator);
        row.source = RowSource::Load;
        add(row);
    }
    if (changed_)
        changed_();
}

} // namespace varnex
