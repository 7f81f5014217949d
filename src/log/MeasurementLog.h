#pragma once
// INDataToTable and Close Data: the rules that turn decoded readings into rows of the
// log table cds1 and points of the chart, under the record limit, the sampling interval
// and the repeat filter.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "log/ChartFeed.h"
#include "log/LogStore.h"
#include "log/LoggedRowListener.h"
#include "log/RecordLimitMenu.h"
#include "log/SamplingSchedule.h"
#include "log/TimeOfDay.h"
#include "protocol/Reading.h"

namespace varnex {

// The question the "Close Data" button asks (information icon, Yes and No) before it
// empties the log.
inline constexpr char CloseDataQuestion[] = "Are you sure you want to clear all logged data?";

enum class LogOutcome {
    Logged,          // a row was appended and a chart point added
    RefusedLimit,    // LoggedCount reached RecordLimit: nothing changed
    RefusedInterval, // the sampling interval is still running: nothing changed
    Repeat,          // same value and unit as the last row: a row number used, no row
};

struct LogResult {
    LogOutcome Outcome = LogOutcome::RefusedLimit;
    // Set when Outcome is Logged: the page label (Bt10) text, CurrentPage in decimal.
    std::string PageLabel;
    bool logged() const { return Outcome == LogOutcome::Logged; }
};

// Milliseconds since 1970-01-01T00:00:00Z for a row being logged now.
using UtcClock = std::function<std::int64_t()>;
std::int64_t SystemUtcMs();

class MeasurementLog {
public:
    // Neither the store nor the chart is owned; both must outlive the log.
    MeasurementLog(LogStore& table, ChartFeed& chart,
                   TimeOfDayClock clock = LocalTimeOfDayClock());

    // Once per decoded frame, after the reading is complete.
    LogResult INDataToTable(const Reading& reading);

    // "Close Data" answered Yes: chart back to page 1, table empty, numbering from 1.
    // The repeat key and the sampling countdown are kept. Returns the page label.
    std::string CloseData();

    std::int32_t NextRecordNo() const { return nextRecordNo_; }
    std::int32_t LoggedCount() const { return loggedCount_; }
    std::int32_t RecordLimit() const { return limits_.RecordLimit(); }

    // Listeners are told about each logged row after it is in the table, in the order
    // they were added; none is owned. The SI value is only worked out when one listens.
    void addListener(LoggedRowListener* listener);
    void removeListener(LoggedRowListener* listener);
    void setUtcClock(UtcClock clock) { utcClock_ = std::move(clock); }
    // The separator the decoder forms value texts with (for the SI value).
    void setDecimalSeparator(std::string separator) { separator_ = std::move(separator); }
    const std::string& DecimalSeparator() const { return separator_; }
    // Tells the listeners about a row that reached the table some other way (a load,
    // a recovery); `row` must already be in the table.
    void announceRow(const LogRowInput& row, RowSource source, std::int64_t utcMs = 0);

    SamplingSchedule& Sampling() { return sampling_; }
    const SamplingSchedule& Sampling() const { return sampling_; }
    RecordLimitMenu& RecordLimits() { return limits_; }
    const RecordLimitMenu& RecordLimits() const { return limits_; }
    LogStore& Table() { return table_; }
    const LogStore& Table() const { return table_; }

private:
    LogStore& table_;
    ChartFeed& chart_;
    TimeOfDayClock clock_;
    SamplingSchedule sampling_;
    RecordLimitMenu limits_;
    std::vector<LoggedRowListener*> listeners_;
    UtcClock utcClock_ = SystemUtcMs;
    std::string separator_ = ".";
    std::int32_t nextRecordNo_ = 1;
    std::int32_t loggedCount_ = 0;
};

} // namespace varnex
