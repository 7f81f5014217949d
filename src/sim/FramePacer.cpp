#include "sim/FramePacer.h"

#include <algorithm>

namespace varnex::sim {

FramePacer::FramePacer(std::uint32_t seed, SimTime minimumGap, SimTime maximumGap)
    : minimumGap_(minimumGap)
    , maximumGap_(std::max(minimumGap, maximumGap))
    , random_(seed)
{
}

SimTime FramePacer::NextGap()
{
    std::uniform_int_distribution<SimTime::rep> gap(minimumGap_.count(), maximumGap_.count());
    return SimTime(gap(random_));
}

} // namespace varnex::sim
