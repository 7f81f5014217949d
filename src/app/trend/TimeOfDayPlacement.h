#pragma once
// Rows loaded from a 7-column log file carry only a time of day ("23:59:58"). They are
// placed on a day: the run starts on a given day, and each time that goes backwards
// starts the next day, except the repeated hour when the clocks go back (the local time
// of day jumps back by the zone's change and the same day goes on).
#include <QDate>
#include <QTime>
#include <QTimeZone>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace varnex {

// A Time text as the log writes it: "13:05:09", "1:05:09 PM", or the system locale's own
// time-only form. Empty when the text is no time of day.
std::optional<QTime> ParseTimeOfDay(std::string_view text);

class TimeOfDayPlacement {
public:
    TimeOfDayPlacement(QTimeZone zone, QDate firstDay);

    // Starts a new run of rows on `firstDay`.
    void restart(QDate firstDay);
    // The UTC milliseconds of the next row's time of day.
    std::int64_t place(QTime timeOfDay);

    QDate firstDay() const { return firstDay_; }
    QDate currentDay() const { return day_; }
    // How many day changes were inferred from times going backwards.
    int dayChanges() const { return dayChanges_; }

private:
    std::optional<std::int64_t> onDay(QDate day, QTime time, std::int64_t notBefore) const;

    QTimeZone zone_;
    mutable QDate cachedDay_;
    mutable std::vector<int> cachedOffsets_;
    QDate firstDay_;
    QDate day_;
    std::optional<std::int64_t> previousUtc_;
    QTime previousTime_;
    int dayChanges_ = 0;
};

} // namespace varnex
