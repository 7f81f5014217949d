#include "links/ExclusiveTty.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace varnex {

int TtyControl::request(int fd, unsigned long request, int* argument) { return ::ioctl(fd, request, argument); }

TtyControl& TtyControl::system()
{
    static TtyControl kernel;
    return kernel;
}

bool ExclusiveFlagOutlivesLastClose(unsigned int deviceMajor)
{
    return (deviceMajor >= 136 && deviceMajor <= 143) || deviceMajor == 3;
}

namespace {
bool outlivesUs(int fd)
{
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return true; // unknown: do not risk a flag that may stay behind
    return ExclusiveFlagOutlivesLastClose(major(st.st_rdev));
}

ExclusiveTtyResult failed(int fd, int error, std::string message)
{
    if (fd >= 0)
        ::close(fd);
    return ExclusiveTtyResult{-1, error, std::move(message)};
}
} // namespace

ExclusiveTtyResult OpenTtyExclusively(const std::string& path, TtyControl& control)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return failed(-1, error, path + ": " + std::strerror(error));
    }
    if (!isatty(fd))
        return failed(fd, ENOTTY, path + " is not a serial device");
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        return failed(fd, error, path + " is in use by another program");
    }
    if (!outlivesUs(fd) && control.request(fd, TIOCEXCL, nullptr) != 0) {
        const int error = errno;
        return failed(fd, error, path + ": " + std::strerror(error));
    }
    return ExclusiveTtyResult{fd, 0, {}};
}

void CloseExclusiveTty(int fd, TtyControl& control)
{
    if (fd < 0)
        return;
    if (!outlivesUs(fd))
        (void)control.request(fd, TIOCNXCL, nullptr);
    ::close(fd);
}

} // namespace varnex
