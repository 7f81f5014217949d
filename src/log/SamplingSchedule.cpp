#include "log/SamplingSchedule.h"

#include <limits>

namespace varnex {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::int32_t SamplingSchedule::ParseInterval(std::string_view text)
{
    constexpr std::string_view Blanks = " \t";
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return 0;
    text = text.substr(first, text.find_last_not_of(Blanks) - first + 1);

    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return 0; // a lone sign
    constexpr std::int64_t Largest = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return 0;
        if (value <= Largest) // stop growing once past 32 bits; keep checking digits
            value = value * 10 + (c - '0');
    }
    if (negative)
        return 0;
    return static_cast<std::int32_t>(value > Largest ? Largest : value);
}

void SamplingSchedule::TrecordTimer()
{
    if (RecordSI && SampleCountdown > 0)
        --SampleCountdown;
}

void SamplingSchedule::RecordSITimeChange(std::string_view text)
{
    RecordSITime.assign(text);
    SampleCountdown = IntervalSetting();
}

bool SamplingSchedule::IsRepeat(std::string_view valueText, std::string_view unitText) const
{
    if (RepeatSet)
        return false;
    const std::string_view key = LastLoggedKey;
    return key.size() == valueText.size() + unitText.size()
        && key.substr(0, valueText.size()) == valueText
        && key.substr(valueText.size()) == unitText;
}

void SamplingSchedule::RowLogged(std::string_view valueText, std::string_view unitText)
{
    LastLoggedKey.assign(valueText).append(unitText); // reuses the key's buffer
    SampleCountdown = IntervalSetting();
}

} // namespace varnex
