#include "sim/SimulatedMeter.h"

namespace varnex::sim {

SimulatedMeter::SimulatedMeter(std::uint32_t seed, SimClock clock)
    : meter_(std::make_shared<SharedMeter>(seed, std::move(clock)))
    , pty_(meter_, PtyMeterOptions{seed + 1, std::chrono::milliseconds(300), std::chrono::milliseconds(500), true, {}})
    , usb_(meter_, seed + 2)
{
}

} // namespace varnex::sim
