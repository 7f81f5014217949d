#pragma once
// The simulated meter: its function, range, ranging mode and the HOLD / REL / MAX MIN / STO /
// RCL / SETUP / CAL modes, answering the front keys and producing the display state that each
// frame carries. Pure and deterministic: the same seed, keys and sample times give the same
// frames. Not thread-safe; SharedMeter puts a lock around it.
#include "protocol/FrameEncoder.h"
#include "sim/MeterFunction.h"
#include "sim/MeterKey.h"
#include "sim/MeterRanges.h"
#include "sim/SignalSource.h"
#include "sim/SimClock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace varnex::sim {

// The MAX MIN key cycles Off -> Max -> Min -> Avg -> All -> Off; the value is the nibble
// the meter sends at frame position 18 for the mode.
enum class RecordMode : std::uint8_t { Off = 0x0, Max = 0x4, Min = 0x2, Avg = 0x1, All = 0x7 };

// What the meter's inputs carry at a time, for the selected function.
using InputSignal = std::function<SignalSample(MeterFunction, SimTime)>;

class MeterModel {
public:
    explicit MeterModel(std::uint32_t seed = 1);

    // Replaces the built-in bench signal (an empty function brings it back): a sweep or a
    // fixed value to try the ranging and the overload display.
    void ConnectInput(InputSignal input) { input_ = std::move(input); }

    void Press(MeterKey key);

    // Measures the input at time now and returns what the display shows.
    DisplayState Sample(SimTime now);

    MeterFunction Function() const { return function_; }
    const RangeSpec& Range() const;
    std::size_t RangeIndex() const { return rangeIndex_; }
    bool AutoRanging() const { return autoRange_; }
    bool Holding() const { return hold_; }
    bool Relative() const { return relative_; }
    double RelativeReference() const { return relativeReference_; }
    RecordMode Recording() const { return recording_; }
    bool Storing() const { return store_; }
    bool Recalling() const { return recall_; }
    bool InSetup() const { return setup_; }
    bool Calibrating() const { return calibrate_; }

    std::uint8_t Status18() const;  // HOLD bit 8 | recording nibble
    std::uint8_t Status19() const;  // AUTO bit 2 | REL bit 1
    std::uint8_t Status20() const;  // RCL 8 | STO 4 | CAL 2 | SETUP 1

private:
    struct Statistics {
        double maximum = 0;
        double minimum = 0;
        double sum = 0;
        long finiteCount = 0;
        long count = 0;
    };

    void SelectFunction(MeterFunction function);
    void StepRange(int direction);
    void ToggleHold();
    void ToggleRelative();
    void CycleRecording();
    void ToggleStore();
    void Record(double value);
    double ShownValue(double liveValue) const;
    void FollowValue(double shown);

    SignalSource signal_;
    InputSignal input_;
    MeterFunction function_ = MeterFunction::DcVolts;
    std::size_t rangeIndex_ = 0;
    bool autoRange_ = true;
    bool hold_ = false;
    bool relative_ = false;
    double relativeReference_ = 0;
    RecordMode recording_ = RecordMode::Off;
    Statistics statistics_;
    bool store_ = false;
    bool recall_ = false;
    bool setup_ = false;
    bool calibrate_ = false;

    std::optional<double> lastLiveValue_;        // the input at the last sample
    std::optional<DisplayState> lastMeasured_;   // the live display at the last sample
    std::optional<DisplayState> lastShown_;      // what the display showed at the last sample
    std::optional<DisplayState> frozen_;         // HOLD: the display kept
    std::optional<DisplayState> memory_;         // STO: the display stored, RCL shows it
};

} // namespace varnex::sim
