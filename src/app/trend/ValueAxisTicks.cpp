#include "app/trend/ValueAxisTicks.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varnex {

SiPrefix PrefixFor(double magnitude)
{
    struct Entry {
        const char* prefix;
        int exponent;
    };
    static const std::array<Entry, 8> kPrefixes{{
        {"p", -12}, {"n", -9}, {"\u00B5", -6}, {"m", -3}, {"", 0}, {"k", 3}, {"M", 6}, {"G", 9},
    }};
    magnitude = std::abs(magnitude);
    if (!(magnitude > 0.0) || !std::isfinite(magnitude))
        return {QString(), 1.0};
    const int exponent = int(std::floor(std::log10(magnitude) / 3.0 + 1e-9)) * 3;
    const int clamped = std::clamp(exponent, -12, 9);
    for (const Entry& e : kPrefixes)
        if (e.exponent == clamped)
            return {QString::fromUtf8(e.prefix), std::pow(10.0, e.exponent)};
    return {QString(), 1.0};
}

void PadRange(double& lo, double& hi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) {
        lo = -1.0;
        hi = 1.0;
        return;
    }
    if (hi - lo <= std::max(std::abs(hi), std::abs(lo)) * 1e-9) {
        const double room = lo == 0.0 ? 1.0 : std::abs(lo) * 0.01;
        lo -= room;
        hi += room;
        return;
    }
    const double room = (hi - lo) * 0.05;
    lo -= room;
    hi += room;
}

ValueAxis ComputeValueAxis(double minimum, double maximum, int maxTicks, const QString& unit)
{
    ValueAxis axis;
    axis.minimum = minimum;
    axis.maximum = maximum;
    const SiPrefix prefix = PrefixFor(std::max(std::abs(minimum), std::abs(maximum)));
    axis.scale = prefix.scale;
    axis.unitLabel = prefix.prefix + unit;
    if (!(maximum > minimum) || maxTicks < 1)
        return axis;
    const double raw = (maximum - minimum) / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= raw)
            break;
    }
    // Decimals the step needs in the prefixed unit.
    const double scaledStep = step / axis.scale;
    const int decimals = std::max(0, int(std::ceil(-std::log10(scaledStep) - 1e-9)));
    for (double v = std::ceil(minimum / step) * step; v <= maximum + step * 1e-9; v += step) {
        const double value = std::abs(v) < step * 1e-9 ? 0.0 : v;
        axis.ticks.push_back({value, QString::number(value / axis.scale, 'f', decimals)});
        if (axis.ticks.size() > std::size_t(maxTicks) + 2)
            break;
    }
    return axis;
}

QString SiText(double value, const QString& unit, int digits)
{
    if (!std::isfinite(value))
        return QStringLiteral("-");
    const SiPrefix prefix = PrefixFor(value);
    const double scaled = value / prefix.scale;
    // Significant digits without an exponent: 1.23456, 12.3456, 123.456.
    const int intDigits = scaled == 0.0 ? 1 : std::max(1, int(std::floor(std::log10(std::abs(scaled)))) + 1);
    const int decimals = std::max(0, digits - intDigits);
    return QString::number(scaled, 'f', decimals) + QLatin1Char(' ') + prefix.prefix + unit;
}

} // namespace varnex
