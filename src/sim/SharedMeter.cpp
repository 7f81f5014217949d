#include "sim/SharedMeter.h"

namespace varnex::sim {

SharedMeter::SharedMeter(std::uint32_t seed, SimClock clock)
    : clock_(std::move(clock))
    , model_(seed)
{
}

DisplayState SharedMeter::Sample(SimTime at)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.Sample(at);
}

void SharedMeter::Press(MeterKey key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    model_.Press(key);
}

} // namespace varnex::sim
