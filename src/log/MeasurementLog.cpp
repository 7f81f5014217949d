#include "log/MeasurementLog.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace varnex {

namespace {

// The row number wraps like the meter software's 32-bit counter instead of
// overflowing (that takes years of readings at ten a second).
std::int32_t following(std::int32_t number)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number) + 1u);
}

} // namespace

std::int64_t SystemUtcMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

MeasurementLog::MeasurementLog(LogStore& table, ChartFeed& chart, TimeOfDayClock clock)
    : table_(table), chart_(chart), clock_(std::move(clock))
{
}

LogResult MeasurementLog::INDataToTable(const Reading& reading)
{
    LogResult result;
    // 1. Record limit: refused without using a row number.
    if (loggedCount_ >= limits_.RecordLimit()) {
        result.Outcome = LogOutcome::RefusedLimit;
        return result;
    }
    // 2. Sampling interval still running.
    if (sampling_.RecordSI && sampling_.SampleCountdown != 0) {
        result.Outcome = LogOutcome::RefusedInterval;
        return result;
    }
    // 3. Repeat filter: the reading uses up its number but leaves no row.
    if (sampling_.IsRepeat(reading.ValueText, reading.UnitText)) {
        nextRecordNo_ = following(nextRecordNo_);
        result.Outcome = LogOutcome::Repeat;
        return result;
    }
    // 4. Logged from here on: remember the key, restart the wait.
    sampling_.RowLogged(reading.ValueText, reading.UnitText);
    // 5.
    ++loggedCount_;
    // 6. The row becomes the last and current row.
    const std::string time = clock_();
    LogRowInput row;
    row.No = nextRecordNo_;
    row.Time = time;
    row.Function = reading.FunctionText;
    row.Value = reading.ValueText;
    row.Unit = reading.UnitText;
    row.Value2 = reading.Value2Text;
    row.Unit2 = reading.Unit2Text;
    table_.append(row);
    if (!listeners_.empty())
        announceRow(row, RowSource::Meter, utcClock_());
    // 7. The chart gets the value as a 32-bit float, widened again.
    chart_.AddPoint(static_cast<double>(static_cast<float>(reading.ChartValue)));
    result.PageLabel = std::to_string(chart_.CurrentPage());
    // 8.
    nextRecordNo_ = following(nextRecordNo_);
    result.Outcome = LogOutcome::Logged;
    return result;
}

std::string MeasurementLog::CloseData()
{
    chart_.ClearPoints();
    std::string pageLabel = std::to_string(chart_.CurrentPage());
    table_.clear();
    nextRecordNo_ = 1;
    loggedCount_ = 0;
    for (LoggedRowListener* listener : listeners_)
        listener->rowsCleared();
    return pageLabel;
}

void MeasurementLog::addListener(LoggedRowListener* listener)
{
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void MeasurementLog::removeListener(LoggedRowListener* listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void MeasurementLog::announceRow(const LogRowInput& row, RowSource source, std::int64_t utcMs)
{
    if (listeners_.empty())
        return;
    LoggedRow event;
    event.row = row;
    event.utcMs = utcMs;
    event.source = source;
    event.si = ToSiQuantity(row.Value, row.Unit, separator_);
    for (LoggedRowListener* listener : listeners_)
        listener->rowLogged(event);
}

} // namespace varnex
