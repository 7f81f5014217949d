#pragma once
// The meter's sending rhythm: a frame of 21 bytes at 9600 baud (start bit, 7 data bits,
// 2 stop bits: 10 bit times, about 1.04 ms a byte) every 300 to 500 ms, the gap varying
// from frame to frame.
#include "sim/SimClock.h"

#include <cstdint>
#include <random>

namespace varnex::sim {

constexpr int kBaudRate = 9600;
constexpr int kBitsPerByte = 10;
constexpr int kFrameBytes = 21;

// When byte index (0-based) of a frame has fully arrived, counted from the frame's start.
constexpr SimTime ByteArrivalOffset(int index)
{
    return SimTime((static_cast<std::int64_t>(index) + 1) * kBitsPerByte * 1000000 / kBaudRate);
}

class FramePacer {
public:
    explicit FramePacer(std::uint32_t seed, SimTime minimumGap = std::chrono::milliseconds(300),
                        SimTime maximumGap = std::chrono::milliseconds(500));

    // The time from one frame's start to the next one's.
    SimTime NextGap();

    SimTime MinimumGap() const { return minimumGap_; }
    SimTime MaximumGap() const { return maximumGap_; }

private:
    SimTime minimumGap_;
    SimTime maximumGap_;
    std::mt19937 random_;
};

} // namespace varnex::sim
