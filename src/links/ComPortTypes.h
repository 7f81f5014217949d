#pragma once
// The serial component's enumerations. Ordinals are fixed: they index the rate table,
// give the character size (ordinal + 5) and the stop-bit and parity codes.
#include <cstdint>

namespace varnex {

enum TComPortNumber { pnCOM1, pnCOM2, pnCOM3, pnCOM4 };

enum TComPortBaudRate {
    br110, br300, br600, br1200, br2400, br4800, br9600,
    br14400, br19200, br38400, br56000, br57600, br115200
};

enum TComPortDataBits { db5BITS, db6BITS, db7BITS, db8BITS };

enum TComPortStopBits { sb1BITS, sb1HALFBITS, sb2BITS };

enum TComPortParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };

enum TComPortHwHandshaking { hhNONE, hhRTSCTS };

enum TComPortSwHandshaking { shNONE, shXONXOFF };

// 110 .. 115200; the value of each TComPortBaudRate.
std::uint32_t BaudRateValue(TComPortBaudRate rate);

// "COM1" .. "COM4".
const char* ComPortDeviceName(TComPortNumber port);

// 5 .. 8.
inline int CharacterSize(TComPortDataBits bits) { return static_cast<int>(bits) + 5; }

} // namespace varnex
