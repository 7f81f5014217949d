#include "links/ComPortTypes.h"

namespace varnex {

std::uint32_t BaudRateValue(TComPortBaudRate rate)
{
    static constexpr std::uint32_t kRates[] = {110,   300,   600,   1200,  2400,  4800,  9600,
                                               14400, 19200, 38400, 56000, 57600, 115200};
    const int index = static_cast<int>(rate);
    if (index < 0 || index >= static_cast<int>(sizeof kRates / sizeof kRates[0]))
        return 9600;
    return kRates[index];
}

const char* ComPortDeviceName(TComPortNumber port)
{
    switch (port) {
    case pnCOM1: return "COM1";
    case pnCOM2: return "COM2";
    case pnCOM3: return "COM3";
    case pnCOM4: return "COM4";
    }
    return "COM1";
}

} // namespace varnex
