#include "sim/SimClock.h"

namespace varnex::sim {

SimClock SteadySimClock()
{
    const auto start = std::chrono::steady_clock::now();
    return [start] {
        return std::chrono::duration_cast<SimTime>(std::chrono::steady_clock::now() - start);
    };
}

} // namespace varnex::sim
