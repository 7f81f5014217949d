#include "links/PosixSerialPlatform.h"

#include "links/LinuxCustomBaud.h"
#include "links/PosixLineReadback.h"
#include "links/PosixLineSettings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
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

std::string errnoText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// A pseudo-terminal carries no character framing: it stores CS7 as CS8 and, once it
// has done so, may refuse the same request with EINVAL. Such a device keeps its own
// size and parity; everything else of the request still applies. (The read-back after
// it tells the user what the device kept.)
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

std::string PosixSerialPlatform::devicePathFor(const std::string& deviceName) const
{
    const auto port = SerialPortNames::portFromDeviceName(deviceName);
    return port ? names_.devicePath(*port) : deviceName;
}

void PosixSerialPlatform::fail(int error, std::string message)
{
    lastErrno_ = error;
    lastError_ = std::move(message);
}

bool PosixSerialPlatform::open(const std::string& deviceName)
{
    if (isOpen())
        return true;
    path_ = devicePathFor(deviceName);
    inForce_.reset();
    const ExclusiveTtyResult opened = OpenTtyExclusively(path_, *control_);
    if (opened.fd < 0) {
        fail(opened.error, opened.message);
        return false;
    }
    struct stat st {};
    device_ = fstat(opened.fd, &st) == 0 ? st.st_rdev : 0;
    fd_ = opened.fd;
    fail(0, {});
    return true;
}

void PosixSerialPlatform::close()
{
    if (!isOpen())
        return;
    CloseExclusiveTty(fd_, *control_);
    fd_ = -1;
}

bool PosixSerialPlatform::setLineSettings(const SerialLineSettings& settings)
{
    if (!isOpen())
        return false;
    termios current{};
    if (tcgetattr(fd_, &current) != 0) {
        fail(errno, errnoText("tcgetattr"));
        return false;
    }
    const PosixLineRequest request = BuildPosixLineRequest(current, settings);
    if (tcsetattr(fd_, TCSANOW, &request.tio) != 0 && !setWithDevicesOwnFraming(fd_, request.tio, current)) {
        fail(errno, errnoText("tcsetattr"));
        (void)tcsetattr(fd_, TCSANOW, &current);
        return false;
    }
    if (request.customBaud && !SetCustomBaudRate(fd_, *request.customBaud)) {
        fail(errno, errnoText(std::to_string(*request.customBaud) + " baud is not available on " + path_));
        (void)tcsetattr(fd_, TCSANOW, &current);
        return false;
    }
    // DTR and RTS: a pseudo-terminal or a bridge without the lines refuses these
    // (ENOTTY, EINVAL), which must not fail the open.
    int dtr = TIOCM_DTR;
    (void)control_->request(fd_, request.raiseDtr ? TIOCMBIS : TIOCMBIC, &dtr);
    if (request.lowerRts) {
        int rts = TIOCM_RTS;
        (void)control_->request(fd_, TIOCMBIC, &rts);
    }
    inForce_ = ReadLineSettingsBack(fd_, settings);
    fail(0, {});
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

bool PosixSerialPlatform::deviceLost()
{
    // A hung-up tty (USB adapter unplugged, the other side of a pty closed) reads as
    // "nothing yet" with VMIN = 0; poll() tells it apart.
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        fail(EIO, path_ + " hung up (device unplugged or its other side closed)");
        return true;
    }
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || st.st_rdev != device_) {
        fail(ENODEV, path_ + " is gone (device unplugged)");
        return true;
    }
    return false;
}

int PosixSerialPlatform::read(std::uint8_t* buffer, int maxBytes)
{
    if (!isOpen() || maxBytes <= 0)
        return 0;
    const int n = NonBlockingIo([&] { return ::read(fd_, buffer, static_cast<std::size_t>(maxBytes)); });
    if (n > 0)
        return n;
    if (n < 0) {
        fail(errno, errnoText(path_));
        return -1;
    }
    return deviceLost() ? -1 : 0;
}

int PosixSerialPlatform::write(const std::uint8_t* data, int size)
{
    if (!isOpen() || size <= 0)
        return 0;
    const int n = NonBlockingIo([&] { return ::write(fd_, data, static_cast<std::size_t>(size)); });
    if (n < 0)
        fail(errno, errnoText(path_));
    return n;
}

void PosixSerialPlatform::waitWritable(int timeoutMs)
{
    if (!isOpen())
        return;
    pollfd p{fd_, POLLOUT, 0};
    (void)::poll(&p, 1, timeoutMs);
}

} // namespace varnex
