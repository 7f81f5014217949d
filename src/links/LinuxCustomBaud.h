#pragma once
// Arbitrary line rates (14400, 56000) through the Linux termios2 interface.
#include <cstdint>

namespace varnex {

// Sets both directions of fd to exactly baudRate. False (errno set) when the
// kernel or the device refuses it, or on systems without termios2.
bool SetCustomBaudRate(int fd, std::uint32_t baudRate);

// The output rate the device reports, 0 when unknown.
std::uint32_t ReadBaudRate(int fd);

} // namespace varnex
