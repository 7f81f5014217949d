#pragma once
// The sampling state that decides, with the record limit, whether a reading becomes a
// row: the repeat filter (RepeatSet), the sampling interval (RecordSI, RecordSITime)
// and the one-second countdown driven by the Trecord timer.
#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

class SamplingSchedule {
public:
    bool RepeatSet = true;          // checked: unchanged readings are logged again
    bool RecordSI = false;          // checked: the sampling interval is on
    std::string RecordSITime = "1"; // the interval field's text, whole seconds
    std::int32_t SampleCountdown = 0;
    std::string LastLoggedKey;      // Value text followed by Unit text of the last row

    // The interval read from RecordSITime (see ParseInterval).
    std::int32_t IntervalSetting() const { return ParseInterval(RecordSITime); }

    // Reads an interval text as whole seconds, never failing and never negative:
    //   "", "-", "+"                  -> 0
    //   optional sign, then digits    -> that number; below 0 -> 0;
    //                                    beyond 32 bits -> INT32_MAX (the longest wait)
    //   anything else (pasted "1.5",
    //   "10s", "abc")                 -> 0, the same as an empty field: no wait
    // Spaces around the text are ignored.
    static std::int32_t ParseInterval(std::string_view text);

    // Trecord's tick, once a second: counts the wait down while the interval is on.
    void TrecordTimer();
    // The interval field's text changed: the wait restarts with the new number.
    void RecordSITimeChange(std::string_view text);
    // The reading's key matches the last logged row: it would be left out as a repeat
    // (only when RepeatSet is unchecked).
    bool IsRepeat(std::string_view valueText, std::string_view unitText) const;
    // A row was logged with this key: remember it and restart the wait.
    void RowLogged(std::string_view valueText, std::string_view unitText);
};

} // namespace varnex
