#pragma once
// Round tick positions (1, 2 or 5 times a power of ten apart) for an axis range,
// and their label texts.
#include <string>
#include <vector>

namespace varnex {

struct AxisTick {
    double value = 0.0;
    std::string label;
};

// At most maxTicks + 1 ticks inside [minimum, maximum]; none for an empty or
// inverted range. With integerOnly the step is never below 1.
std::vector<AxisTick> ComputeAxisTicks(double minimum, double maximum, int maxTicks, bool integerOnly);

} // namespace varnex
