#pragma once
// Time as the simulated meter sees it: microseconds since the clock's own start.
// The clock is a plain function so tests can drive it by hand.
#include <chrono>
#include <functional>

namespace varnex::sim {

using SimTime = std::chrono::microseconds;
using SimClock = std::function<SimTime()>;

// A clock that reads the steady clock, counting from the moment it was made.
SimClock SteadySimClock();

// Seconds as a double, for the signal formulas.
inline double ToSeconds(SimTime t)
{
    return std::chrono::duration<double>(t).count();
}

} // namespace varnex::sim
