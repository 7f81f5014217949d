#include "links/PosixSerialPlatform.h"

#include "links/LinuxCustomBaud.h"
#include "links/PosixLineSettings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace varnex {

namespace {

// One read or write on the non-blocking descriptor: retried when a signal interrupts it,
// 0 when the device has nothing (or no room) right now, -1 on a real error.
template <typename Io>
int NonBlockingIo(Io io)
{
    for (;;) {
        const ssize_t n = io();
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        return -1;
    }
}

} // namespace


namespace {
std::string errnoText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// Modem-control requests: a pseudo-terminal or a bridge without the lines refuses them
// (ENOTTY, EINVAL), which must not fail the open.
void setModemLine(int fd, int line, bool raise)
{
    int bits = line;
    (void)ioctl(fd, raise ? TIOCMBIS : TIOCMBIC, &bits);
}
// A pseudo-terminal carries no character framing: it stores CS7 as CS8 and, once it
// has done so, may refuse the same request with EINVAL. Such a device keeps its own
// size and parity; everything else of the request still applies. (7N2 and 8N1 are both
// ten bits a character, so the meter's stream reads the same either way.)
bool setWithDevicesOwnFraming(int fd, const termios& wanted, const termios& current)
{
    if (errno != EINVAL)
        return false;
    constexpr tcflag_t framing = CSIZE | PARENB | PARODD
#ifdef CMSPAR
                                 | CMSPAR
#endif
        ;
    termios fallback = wanted;
    fallback.c_cflag = (wanted.c_cflag & ~framing) | (current.c_cflag & framing);
    return tcsetattr(fd, TCSANOW, &fallback) == 0;
}
} // namespace

PosixSerialPlatform::PosixSerialPlatform(SerialPortNames names) : names_(std::move(names)) {}

PosixSerialPlatform::~PosixSerialPlatform() { close(); }

bool PosixSerialPlatform::open(const std::string& deviceName)
{
    if (isOpen())
        return true;
    const auto port = SerialPortNames::portFromDeviceName(deviceName);
    path_ = port ? names_.devicePath(*port) : deviceName;

    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastError_ = errnoText(path_);
        return false;
    }
    // Another program holding the port (exclusive tty or a lock) keeps it from us.
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lastError_ = isatty(fd) ? errnoText(path_ + " is in use") : path_ + " is not a serial device";
        ::close(fd);
        return false;
    }
    fd_ = fd;
    lastError_.clear();
    return true;
}

void PosixSerialPlatform::close()
{
    if (!isOpen())
        return;
    (void)ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool PosixSerialPlatform::setLineSettings(const SerialLineSettings& settings)
{
    if (!isOpen())
        return false;
    termios current{};
    if (tcgetattr(fd_, &current) != 0) {
        lastError_ = errnoText("tcgetattr");
        return false;
    }
    const PosixLineRequest request = BuildPosixLineRequest(current, settings);
    if (tcsetattr(fd_, TCSANOW, &request.tio) != 0 && !setWithDevicesOwnFraming(fd_, request.tio, current)) {
        lastError_ = errnoText("tcsetattr");
        (void)tcsetattr(fd_, TCSANOW, &current);
        return false;
    }
    if (request.customBaud && !SetCustomBaudRate(fd_, *request.customBaud)) {
        lastError_ = errnoText(std::to_string(*request.customBaud) + " baud is not available on " + path_);
        (void)tcsetattr(fd_, TCSANOW, &current);
        return false;
    }
    setModemLine(fd_, TIOCM_DTR, request.raiseDtr);
    if (request.lowerRts)
        setModemLine(fd_, TIOCM_RTS, false);
    lastError_.clear();
    return true;
}

void PosixSerialPlatform::purge(bool receive, bool transmit)
{
    if (!isOpen() || (!receive && !transmit))
        return;
    const int queue = receive && transmit ? TCIOFLUSH : (receive ? TCIFLUSH : TCOFLUSH);
    (void)tcflush(fd_, queue);
}

void PosixSerialPlatform::setupQueues(std::uint32_t, std::uint32_t)
{
    // The kernel sizes a tty's queues itself; the receive size still bounds each poll.
}

void PosixSerialPlatform::setTimeouts(const SerialTimeouts&)
{
    // Reads never wait (O_NONBLOCK, VMIN = VTIME = 0); writes never wait either and
    // TCommPortDriver::SendData bounds the retries with OutputTimeout.
}

int PosixSerialPlatform::outQueueBytes()
{
    if (!isOpen())
        return 0;
    int waiting = 0;
    if (ioctl(fd_, TIOCOUTQ, &waiting) != 0 || waiting < 0)
        return 0;
    return waiting;
}

int PosixSerialPlatform::read(std::uint8_t* buffer, int maxBytes)
{
    if (!isOpen() || maxBytes <= 0)
        return 0;
    return NonBlockingIo([&] { return ::read(fd_, buffer, static_cast<std::size_t>(maxBytes)); });
}

int PosixSerialPlatform::write(const std::uint8_t* data, int size)
{
    if (!isOpen() || size <= 0)
        return 0;
    return NonBlockingIo([&] { return ::write(fd_, data, static_cast<std::size_t>(size)); });
}

void PosixSerialPlatform::waitWritable(int timeoutMs)
{
    if (!isOpen())
        return;
    pollfd p{fd_, POLLOUT, 0};
    (void)::poll(&p, 1, timeoutMs);
}

} // namespace varnex
