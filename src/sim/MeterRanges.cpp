#include "sim/MeterRanges.h"

#include <cmath>

namespace varnex::sim {

namespace {

// 220000-count ranges show up to 219999; the 6000-count ranges up to 5999.
constexpr long k2Series = 219999;
constexpr long k6Series = 5999;

constexpr RangeSpec kDcVolts[] = {
    {'0', 1e-3, 2, k2Series},  // 200 mV
    {'1', 1.0, 0, k2Series},   // 2 V
    {'2', 1.0, 1, k2Series},   // 20 V
    {'3', 1.0, 2, k2Series},   // 200 V
    {'4', 1.0, 3, 100000},     // 1000 V
};

constexpr RangeSpec kAcVolts[] = {
    {'0', 1e-3, 2, k2Series},
    {'1', 1.0, 0, k2Series},
    {'2', 1.0, 1, k2Series},
    {'3', 1.0, 2, k2Series},
    {'4', 1.0, 3, 75000},      // 750 V
};

constexpr RangeSpec kAmps[] = {
    {'0', 1e-3, 0, k2Series},  // 2 mA
    {'1', 1e-3, 2, k2Series},  // 200 mA
    {'2', 1.0, 1, 100000},     // 10 A
};

constexpr RangeSpec kOhms[] = {
    {'0', 1.0, 2, k2Series},   // 200 ohm
    {'1', 1e3, 0, k2Series},   // 2 kohm
    {'2', 1e3, 1, k2Series},   // 20 kohm
    {'3', 1e3, 2, k2Series},   // 200 kohm
    {'4', 1e6, 0, k2Series},   // 2 Mohm
    {'5', 1e6, 1, k2Series},   // 20 Mohm
};

constexpr RangeSpec kCapacitance[] = {
    {'0', 1e-9, 2, k6Series},  // 6 nF
    {'1', 1e-9, 3, k6Series},  // 60 nF
    {'2', 1e-9, 4, k6Series},  // 600 nF
    {'3', 1e-6, 2, k6Series},  // 6 uF
    {'4', 1e-6, 3, k6Series},  // 60 uF
    {'5', 1e-6, 4, k6Series},  // 600 uF
    {'6', 1e-3, 2, k6Series},  // 6 mF
};

constexpr RangeSpec kFrequency[] = {
    {'0', 1e3, 2, k6Series},   // 6 kHz
    {'1', 1e3, 3, k6Series},   // 60 kHz
    {'2', 1e3, 4, k6Series},   // 600 kHz
    {'3', 1e6, 2, k6Series},   // 6 MHz
    {'4', 1e6, 3, k6Series},   // 60 MHz
};

// Continuity: 600.0 ohm with a tenth of an ohm resolution (the point sits before the last digit).
constexpr RangeSpec kContinuity[] = {{'0', 1.0, 4, k6Series}};

// Diode: 6 V with millivolt resolution.
constexpr RangeSpec kDiode[] = {{'0', 1.0, 2, k6Series}};

template <std::size_t N>
RangeList ListOf(const RangeSpec (&ranges)[N])
{
    return RangeList{ranges, N};
}

} // namespace

double RangeSpec::CountsPerUnit() const
{
    return std::pow(10.0, 5 - point);
}

double RangeSpec::CountOf(double siValue) const
{
    return std::round(std::fabs(siValue) / unitScale * CountsPerUnit());
}

RangeList RangesOf(MeterFunction function)
{
    switch (function) {
    case MeterFunction::DcVolts: return ListOf(kDcVolts);
    case MeterFunction::AcVolts:
    case MeterFunction::AcDcVolts: return ListOf(kAcVolts);
    case MeterFunction::DcAmps:
    case MeterFunction::AcAmps:
    case MeterFunction::AcDcAmps: return ListOf(kAmps);
    case MeterFunction::Ohms: return ListOf(kOhms);
    case MeterFunction::Capacitance: return ListOf(kCapacitance);
    case MeterFunction::Frequency: return ListOf(kFrequency);
    case MeterFunction::Continuity: return ListOf(kContinuity);
    case MeterFunction::Diode: return ListOf(kDiode);
    }
    return ListOf(kDcVolts);
}

} // namespace varnex::sim
