#include "sim/MeterModel.h"

#include "sim/DisplayFormatter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varnex::sim {

MeterModel::MeterModel(std::uint32_t seed)
    : signal_(seed)
{
}

const RangeSpec& MeterModel::Range() const
{
    return RangesOf(function_)[rangeIndex_];
}

void MeterModel::Press(MeterKey key)
{
    switch (key) {
    case MeterKey::Dcv: SelectFunction(MeterFunction::DcVolts); break;
    case MeterKey::Acv: SelectFunction(MeterFunction::AcVolts); break;
    case MeterKey::Dci: SelectFunction(MeterFunction::DcAmps); break;
    case MeterKey::Aci: SelectFunction(MeterFunction::AcAmps); break;
    case MeterKey::Ohm: SelectFunction(MeterFunction::Ohms); break;
    case MeterKey::Cap: SelectFunction(MeterFunction::Capacitance); break;
    case MeterKey::Hz: SelectFunction(MeterFunction::Frequency); break;
    case MeterKey::Continuity: SelectFunction(MeterFunction::Continuity); break;
    case MeterKey::Diode: SelectFunction(MeterFunction::Diode); break;
    case MeterKey::AcDc:
        // AC+DC exists for volts and amps only; elsewhere the key does nothing.
        if (IsVolts(function_))
            SelectFunction(MeterFunction::AcDcVolts);
        else if (IsAmps(function_))
            SelectFunction(MeterFunction::AcDcAmps);
        break;
    case MeterKey::Reset:
        SelectFunction(MeterFunction::DcVolts);
        store_ = recall_ = setup_ = calibrate_ = false;
        memory_.reset();
        break;
    case MeterKey::Up: StepRange(+1); break;
    case MeterKey::Down: StepRange(-1); break;
    case MeterKey::Auto: autoRange_ = true; break;
    case MeterKey::Hold: ToggleHold(); break;
    case MeterKey::Rel: ToggleRelative(); break;
    case MeterKey::MaxMin: CycleRecording(); break;
    case MeterKey::Store: ToggleStore(); break;
    case MeterKey::Recall: recall_ = !recall_; break;
    case MeterKey::Setup: setup_ = !setup_; break;
    case MeterKey::Cal: calibrate_ = !calibrate_; break;
    }
}

void MeterModel::SelectFunction(MeterFunction function)
{
    // A new function starts in AUTO with the reading modes off, as the rotary switch does.
    function_ = function;
    rangeIndex_ = 0;
    autoRange_ = true;
    hold_ = false;
    frozen_.reset();
    relative_ = false;
    relativeReference_ = 0;
    recording_ = RecordMode::Off;
    lastLiveValue_.reset();
    lastMeasured_.reset();
    lastShown_.reset();
}

void MeterModel::StepRange(int direction)
{
    const std::size_t top = RangesOf(function_).size - 1;
    if (direction > 0)
        rangeIndex_ = std::min(rangeIndex_ + 1, top);
    else if (rangeIndex_ > 0)
        --rangeIndex_;
    autoRange_ = false;
}

void MeterModel::ToggleHold()
{
    hold_ = !hold_;
    // Freeze what is on the display now; before the first reading, the next one.
    frozen_ = hold_ ? lastShown_ : std::nullopt;
}

void MeterModel::ToggleRelative()
{
    if (relative_) {
        relative_ = false;
        relativeReference_ = 0;
        return;
    }
    // The reference is the present input; with nothing measured yet or the input open
    // (overload) there is no reading to be relative to, and the key is refused.
    if (!lastLiveValue_ || !std::isfinite(*lastLiveValue_))
        return;
    relative_ = true;
    relativeReference_ = *lastLiveValue_;
}

void MeterModel::CycleRecording()
{
    switch (recording_) {
    case RecordMode::Off:
        recording_ = RecordMode::Max;
        statistics_ = Statistics{};  // a new recording session
        break;
    case RecordMode::Max: recording_ = RecordMode::Min; break;
    case RecordMode::Min: recording_ = RecordMode::Avg; break;
    case RecordMode::Avg: recording_ = RecordMode::All; break;
    case RecordMode::All: recording_ = RecordMode::Off; break;
    }
}

void MeterModel::ToggleStore()
{
    store_ = !store_;
    if (store_ && lastMeasured_)
        memory_ = lastMeasured_;
}

void MeterModel::Record(double value)
{
    Statistics& s = statistics_;
    if (s.count == 0) {
        s.maximum = s.minimum = value;
    } else {
        s.maximum = std::max(s.maximum, value);
        s.minimum = std::min(s.minimum, value);
    }
    ++s.count;
    if (std::isfinite(value)) {  // an open input counts for MAX, not for the average
        s.sum += value;
        ++s.finiteCount;
    }
}

double MeterModel::ShownValue(double liveValue) const
{
    switch (recording_) {
    case RecordMode::Max: return statistics_.maximum;
    case RecordMode::Min: return statistics_.minimum;
    case RecordMode::Avg:
        return statistics_.finiteCount > 0 ? statistics_.sum / static_cast<double>(statistics_.finiteCount)
                                           : std::numeric_limits<double>::infinity();
    case RecordMode::All:
    case RecordMode::Off: break;
    }
    return liveValue;
}

void MeterModel::FollowValue(double shown)
{
    // Up while the count would pass the range's full scale, down while the value fits well
    // within the next lower range: the gap between the two keeps the range from flapping.
    const RangeList ranges = RangesOf(function_);
    if (!std::isfinite(shown)) {
        rangeIndex_ = ranges.size - 1;
        return;
    }
    while (rangeIndex_ + 1 < ranges.size
           && ranges[rangeIndex_].CountOf(shown) > static_cast<double>(ranges[rangeIndex_].maxCount))
        ++rangeIndex_;
    while (rangeIndex_ > 0
           && ranges[rangeIndex_ - 1].CountOf(shown) <= static_cast<double>(ranges[rangeIndex_ - 1].DownStepCount()))
        --rangeIndex_;
}

DisplayState MeterModel::Sample(SimTime now)
{
    const SignalSample input = input_ ? input_(function_, now) : signal_.Read(function_, now);
    lastLiveValue_ = input.value;
    const double live = relative_ ? input.value - relativeReference_ : input.value;
    if (recording_ != RecordMode::Off)
        Record(live);
    const double shown = ShownValue(live);
    if (autoRange_)
        FollowValue(shown);

    DisplayState measured;
    measured.function = CodeOf(function_);
    FormatMain(shown, Range(), measured);
    if (ShowsFrequencyBelow(function_))
        FormatSecondKHz(input.frequencyHz, measured);
    lastMeasured_ = measured;

    DisplayState display = measured;
    if (hold_) {
        if (!frozen_)
            frozen_ = measured;
        display = *frozen_;
    } else if (recall_ && memory_) {
        display = *memory_;
    }
    lastShown_ = display;

    display.status18 = Status18();
    display.status19 = Status19();
    display.status20 = Status20();
    return display;
}

std::uint8_t MeterModel::Status18() const
{
    return static_cast<std::uint8_t>((hold_ ? 0x8 : 0x0) | static_cast<std::uint8_t>(recording_));
}

std::uint8_t MeterModel::Status19() const
{
    return static_cast<std::uint8_t>((autoRange_ ? 0x2 : 0x0) | (relative_ ? 0x1 : 0x0));
}

std::uint8_t MeterModel::Status20() const
{
    return static_cast<std::uint8_t>((recall_ ? 0x8 : 0x0) | (store_ ? 0x4 : 0x0) | (calibrate_ ? 0x2 : 0x0)
                                     | (setup_ ? 0x1 : 0x0));
}

} // namespace varnex::sim
