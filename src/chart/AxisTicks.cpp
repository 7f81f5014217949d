#include "chart/AxisTicks.h"

#include <cmath>
#include <cstdio>

namespace varnex {

std::vector<AxisTick> ComputeAxisTicks(double minimum, double maximum, int maxTicks, bool integerOnly)
{
    std::vector<AxisTick> ticks;
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || maxTicks < 1)
        return ticks;
    const double span = maximum - minimum;
    if (span < 0.0)
        return ticks;
    double step = 1.0;
    if (span > 0.0) {
        const double rough = span / maxTicks;
        const double power = std::pow(10.0, std::floor(std::log10(rough)));
        step = power;
        for (double factor : {1.0, 2.0, 5.0, 10.0}) {
            step = factor * power;
            if (step >= rough)
                break;
        }
    }
    if (integerOnly && step < 1.0)
        step = 1.0;
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    const double first = std::ceil(minimum / step - 1e-9) * step;
    for (int i = 0;; ++i) {
        const double v = first + i * step;
        if (v > maximum + step * 1e-9 || i > maxTicks * 2 + 2)
            break;
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(v) < step * 1e-9 ? 0.0 : v);
        ticks.push_back(AxisTick{v, text});
    }
    return ticks;
}

} // namespace varnex
