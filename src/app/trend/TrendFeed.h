#pragma once
// Listens to the log from start-up and keeps every row of the table as a point of the
// trend series, so the trend window can open at any time over the whole table. Rows
// that came with no UTC time (loaded from a 7-column file) are placed by their time of
// day; "Close Data" empties the series.
#include "app/trend/TimeOfDayPlacement.h"
#include "app/trend/TrendSeries.h"
#include "log/LoggedRowListener.h"

#include <QDate>
#include <QTimeZone>

#include <functional>
#include <string>

namespace varnex {

class LogStore;

// The day a run of loaded rows starts on (today by default; tests fix it).
using TrendDayClock = std::function<QDate()>;

class TrendFeed : public LoggedRowListener {
public:
    explicit TrendFeed(QTimeZone zone = QTimeZone::systemTimeZone(), TrendDayClock today = {});

    void rowLogged(const LoggedRow& row) override;
    void rowsCleared() override;

    // Puts in the table's rows when the series no longer matches it (rows that reached the
    // table without being announced); a series of the table's length is left alone.
    void catchUpWith(const LogStore& table, const std::string& decimalSeparator);

    const TrendSeries& series() const { return series_; }
    const QTimeZone& zone() const { return zone_; }
    // Placed rows: the day their first run started on and the day changes inferred.
    QDate placedFirstDay() const { return placedFirstDay_; }
    int placedDayChanges() const { return placedDayChanges_; }
    // Counts the times the series was emptied (a clear, a rebuild): a reader of rows by
    // index knows its indices no longer hold.
    std::uint64_t clears() const { return clears_; }

    // Told after each row and after a clear (the trend window schedules a repaint).
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    void add(const LoggedRow& row);

    QTimeZone zone_;
    TrendDayClock today_;
    TrendSeries series_;
    TimeOfDayPlacement placement_;
    bool inPlacedRun_ = false;
    std::int64_t lastPlacedMs_ = 0;
    QDate placedFirstDay_;
    int placedDayChanges_ = 0;
    std::uint64_t clears_ = 0;
    std::function<void()> changed_;
};

// "DCV" from " DCV  ": the lane name of a Function text.
std::string TrimmedText(std::string_view text);

} // namespace varnex
