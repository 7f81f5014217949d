#include "links/PosixLineReadback.h"

#include "links/LinuxCustomBaud.h"
#include "links/PosixLineSettings.h"

namespace varnex {

namespace {
int characterSize(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

TComPortParity parity(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return ptNONE;
#ifdef CMSPAR
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? ptMARK : ptSPACE;
#endif
    return (cflag & PARODD) ? ptODD : ptEVEN;
}

std::uint32_t standardRate(speed_t speed)
{
    for (std::uint32_t rate : {110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 19200u, 38400u, 57600u, 115200u}) {
        const auto constant = StandardSpeed(rate);
        if (constant && *constant == speed)
            return rate;
    }
    return 0;
}
} // namespace

SerialLineSettings LineSettingsFromTermios(const termios& tio, const SerialLineSettings& asked, std::uint32_t customBaud)
{
    SerialLineSettings s = asked;
    s.baudRate = customBaud != 0 ? customBaud : standardRate(cfgetospeed(&tio));
    s.dataBits = characterSize(tio.c_cflag);
    // POSIX has no 1.5 stop bits: CSTOPB stands for both 1.5 and 2.
    if (tio.c_cflag & CSTOPB)
        s.stopBits = asked.stopBits == sb1HALFBITS ? sb1HALFBITS : sb2BITS;
    else
        s.stopBits = sb1BITS;
    s.parity = parity(tio.c_cflag);
    const bool crtscts = (tio.c_cflag & CRTSCTS) != 0;
    s.ctsOutputFlow = crtscts;
    s.rtsHandshake = crtscts;
    s.xonXoffOutput = (tio.c_iflag & IXON) != 0;
    s.xonXoffInput = (tio.c_iflag & IXOFF) != 0;
    return s;
}

std::optional<SerialLineSettings> ReadLineSettingsBack(int fd, const SerialLineSettings& asked)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return std::nullopt;
    return LineSettingsFromTermios(tio, asked, ReadBaudRate(fd));
}

} // namespace varnex
