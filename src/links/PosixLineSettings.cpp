#include "links/PosixLineSettings.h"

namespace varnex {

std::optional<speed_t> StandardSpeed(std::uint32_t baudRate)
{
    switch (baudRate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return std::nullopt;
    }
}

namespace {
tcflag_t characterSizeFlag(int dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}
} // namespace

PosixLineRequest BuildPosixLineRequest(const termios& current, const SerialLineSettings& settings)
{
    PosixLineRequest request;
    termios& tio = request.tio;
    tio = current;

    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                          IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
    tio.c_cflag |= CLOCAL | CREAD | characterSizeFlag(settings.dataBits);

    if (settings.stopBits != sb1BITS)
        tio.c_cflag |= CSTOPB;

    switch (settings.parity) {
    case ptNONE: break;
    case ptODD: tio.c_cflag |= PARENB | PARODD; break;
    case ptEVEN: tio.c_cflag |= PARENB; break;
#ifdef CMSPAR
    case ptMARK: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case ptSPACE: tio.c_cflag |= PARENB | CMSPAR; break;
#else
    case ptMARK: tio.c_cflag |= PARENB | PARODD; break;
    case ptSPACE: tio.c_cflag |= PARENB; break;
#endif
    }

    if (settings.ctsOutputFlow || settings.rtsHandshake)
        tio.c_cflag |= CRTSCTS;
    if (settings.xonXoffOutput)
        tio.c_iflag |= IXON;
    if (settings.xonXoffInput)
        tio.c_iflag |= IXOFF;
    // The usual DC1/DC3 pair when software handshaking is chosen.
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;

    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    if (const auto speed = StandardSpeed(settings.baudRate)) {
        cfsetispeed(&tio, *speed);
        cfsetospeed(&tio, *speed);
    } else {
        cfsetispeed(&tio, B38400);
        cfsetospeed(&tio, B38400);
        request.customBaud = settings.baudRate;
    }

    request.raiseDtr = settings.dtrOn;
    request.lowerRts = !settings.rtsHandshake && !settings.rtsOn;
    return request;
}

} // namespace varnex
