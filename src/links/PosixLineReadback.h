#pragma once
// The line format a tty really holds after a request: some devices keep parts of their
// own (a pseudo-terminal stores CS7 as CS8; a bridge may not do 1.5 stop bits).
#include "links/SerialPlatform.h"

#include <termios.h>

namespace varnex {

// The fields termios shows: rate, character size, stop bits, parity, CTS/RTS and
// XON/XOFF flow. What termios cannot show (the modem lines, the XON/XOFF limits) is
// taken from `asked`. customBaud, when not 0, is the rate the kernel reports exactly.
SerialLineSettings LineSettingsFromTermios(const termios& tio, const SerialLineSettings& asked,
                                           std::uint32_t customBaud = 0);

// Reads fd's termios (and the arbitrary rate, where the kernel has one) back.
std::optional<SerialLineSettings> ReadLineSettingsBack(int fd, const SerialLineSettings& asked);

} // namespace varnex
