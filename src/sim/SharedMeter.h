#pragma once
// One simulated meter shared by its two cables (the pty and the USB bridge), each of which
// may run on its own thread: a lock around the model and the clock both cables go by.
#include "sim/MeterModel.h"
#include "sim/SimClock.h"

#include <mutex>
#include <utility>

namespace varnex::sim {

class SharedMeter {
public:
    explicit SharedMeter(std::uint32_t seed = 1, SimClock clock = SteadySimClock());

    SimTime Now() const { return clock_(); }

    // The display the meter shows at time at (the time a frame leaves the meter).
    DisplayState Sample(SimTime at);
    void Press(MeterKey key);

    // Runs inspect(const MeterModel&) under the lock and returns its result.
    template <typename Inspect>
    auto Read(Inspect&& inspect) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::forward<Inspect>(inspect)(model_);
    }

private:
    SimClock clock_;
    mutable std::mutex mutex_;
    MeterModel model_;
};

} // namespace varnex::sim
