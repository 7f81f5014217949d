#include "sim/SignalSource.h"

#include <cmath>
#include <limits>

namespace varnex::sim {

namespace {

struct SignalShape {
    double base;        // SI value around which the signal sits
    double drift;       // relative amplitude of the slow drift
    double periodS;     // period of the drift in seconds
    double noise;       // relative standard deviation of the noise
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kMainsHz = 50.0;

SignalShape ShapeOf(MeterFunction function)
{
    switch (function) {
    case MeterFunction::DcVolts: return {1.23456, 0.0005, 97.0, 0.000015};
    case MeterFunction::AcVolts: return {230.0, 0.004, 61.0, 0.0001};
    case MeterFunction::DcAmps: return {12.345e-3, 0.001, 83.0, 0.00005};
    case MeterFunction::AcAmps: return {0.1505, 0.002, 71.0, 0.0001};
    case MeterFunction::Ohms: return {4700.0, 0.0005, 113.0, 0.00002};
    case MeterFunction::Capacitance: return {47e-9, 0.001, 89.0, 0.0002};
    case MeterFunction::Frequency: return {1000.0, 0.0005, 79.0, 0.0001};
    case MeterFunction::Continuity: return {0.8, 0.05, 37.0, 0.02};
    case MeterFunction::Diode: return {0.612, 0.002, 101.0, 0.0005};
    case MeterFunction::AcDcVolts:
    case MeterFunction::AcDcAmps: break;  // combined from their AC and DC parts
    }
    return {0.0, 0.0, 1.0, 0.0};
}

} // namespace

SignalSource::SignalSource(std::uint32_t seed)
    : random_(seed)
{
}

bool SignalSource::LeadsOpenAt(SimTime now)
{
    const double inMinute = std::fmod(ToSeconds(now), 60.0);
    return inMinute >= 45.0 && inMinute < 49.0;
}

double SignalSource::Drifting(MeterFunction function, double seconds)
{
    const SignalShape shape = ShapeOf(function);
    const double phase = static_cast<double>(CodeOf(function));  // each function drifts out of step
    const double drift = shape.drift * std::sin(2.0 * kPi * seconds / shape.periodS + phase);
    return shape.base * (1.0 + drift + shape.noise * noise_(random_));
}

SignalSample SignalSource::Read(MeterFunction function, SimTime now)
{
    const double seconds = ToSeconds(now);
    SignalSample sample;
    switch (function) {
    case MeterFunction::AcDcVolts:
        sample.value = std::hypot(Drifting(MeterFunction::AcVolts, seconds),
                                  Drifting(MeterFunction::DcVolts, seconds));
        break;
    case MeterFunction::AcDcAmps:
        sample.value = std::hypot(Drifting(MeterFunction::AcAmps, seconds),
                                  Drifting(MeterFunction::DcAmps, seconds));
        break;
    case MeterFunction::Ohms:
        sample.value = LeadsOpenAt(now) ? std::numeric_limits<double>::infinity()
                                        : Drifting(function, seconds);
        break;
    default:
        sample.value = Drifting(function, seconds);
        break;
    }
    if (function == MeterFunction::Frequency)
        sample.frequencyHz = sample.value;
    else if (ShowsFrequencyBelow(function))
        sample.frequencyHz = kMainsHz * (1.0 + 0.0004 * std::sin(2.0 * kPi * seconds / 53.0));
    return sample;
}

} // namespace varnex::sim
