#pragma once
// The serial component's line format and time-outs as the Windows comm driver takes them:
// a device control block for SetCommState, COMMTIMEOUTS for SetCommTimeouts, purge flags.
#include "links/SerialPlatform.h"

#include <windows.h>

#include <string>

namespace varnex {

// Every field the line settings do not name is zero: no parity checking, no DSR flow
// control or sensitivity, no error-character replacement, no null stripping, no abort on error.
DCB BuildDcb(const SerialLineSettings& settings);

COMMTIMEOUTS BuildCommTimeouts(const SerialTimeouts& timeouts);

// PURGE_RXABORT | PURGE_RXCLEAR for the receive side, the TX pair for the transmit side.
DWORD PurgeFlags(bool receive, bool transmit);

// "COM1" -> "\\.\COM1": the device namespace, which also reaches COM10 and above. A name
// that is already a path is used as it is.
std::string Win32DevicePath(const std::string& deviceName);

} // namespace varnex
