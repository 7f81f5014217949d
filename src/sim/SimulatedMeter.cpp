#include "sim/SimulatedMeter.h"

namespace varnex::sim {

namespace {

PtyMeterOptions PtyOptionsFor(std::uint32_t seed)
{
    PtyMeterOptions options;
    options.paceSeed = seed + 1;  // the two cables do not send in step
    return options;
}

} // namespace

SimulatedMeter::SimulatedMeter(std::uint32_t seed, SimClock clock)
    : meter_(std::make_shared<SharedMeter>(seed, std::move(clock)))
    , pty_(meter_, PtyOptionsFor(seed))
    , usb_(meter_, seed + 2)
{
}

} // namespace varnex::sim
