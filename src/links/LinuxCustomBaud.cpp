// Kept apart: <asm/termbits.h> clashes with <termios.h> in one translation unit.
#include "links/LinuxCustomBaud.h"

#include <cerrno>

#if defined(__linux__)
#include <asm/termbits.h>
#include <sys/ioctl.h>
#endif

namespace varnex {

bool SetCustomBaudRate(int fd, std::uint32_t baudRate)
{
#if defined(__linux__) && defined(BOTHER)
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = baudRate;
    tio.c_ospeed = baudRate;
    return ioctl(fd, TCSETS2, &tio) == 0;
#else
    (void)fd;
    (void)baudRate;
    errno = ENOTSUP;
    return false;
#endif
}

std::uint32_t ReadBaudRate(int fd)
{
#if defined(__linux__) && defined(BOTHER)
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return tio.c_ospeed;
#else
    (void)fd;
    return 0;
#endif
}

} // namespace varnex
