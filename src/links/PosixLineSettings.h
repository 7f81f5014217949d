#pragma once
// How a SerialLineSettings becomes termios flags and modem-line requests on POSIX.
// Pure: builds the request from the device's current termios, applies nothing.
#include "links/SerialPlatform.h"

#include <termios.h>

#include <cstdint>
#include <optional>

namespace varnex {

struct PosixLineRequest {
    termios tio{};
    // Rates with no Bxxx constant (14400, 56000) go through the kernel's arbitrary-rate
    // call after tcsetattr; tio then carries B38400 as a placeholder.
    std::optional<std::uint32_t> customBaud;
    bool raiseDtr = true;
    bool lowerRts = true;  // RTS held low when there is no hardware handshake
};

// The Bxxx constant for a rate, when the platform has one.
std::optional<speed_t> StandardSpeed(std::uint32_t baudRate);

// Raw mode (no echo, no canonical input, no CR/LF translation, no output processing),
// CLOCAL|CREAD, the character size, stop bits (1.5 becomes 2: POSIX has no 1.5),
// parity (mark and space through CMSPAR), CRTSCTS, IXON|IXOFF, VMIN = VTIME = 0.
PosixLineRequest BuildPosixLineRequest(const termios& current, const SerialLineSettings& settings);

} // namespace varnex
