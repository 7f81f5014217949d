#pragma once
// The signal on the meter's inputs: for each function a base value that drifts slowly and
// carries a little noise, like a real source on the bench. Deterministic for a seed and the
// sequence of times asked for.
#include "sim/MeterFunction.h"
#include "sim/SimClock.h"

#include <cstdint>
#include <random>

namespace varnex::sim {

struct SignalSample {
    double value = 0;          // in SI units (V, A, ohm, F, Hz); +infinity when the leads are open
    double frequencyHz = 0;    // the signal's frequency for the second display; 0 when none
};

class SignalSource {
public:
    explicit SignalSource(std::uint32_t seed);

    SignalSample Read(MeterFunction function, SimTime now);

    // The resistance input opens for a few seconds once a minute ("open leads").
    static bool LeadsOpenAt(SimTime now);

private:
    double Drifting(MeterFunction function, double seconds);

    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
};

} // namespace varnex::sim
