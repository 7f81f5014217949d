#include "sim/PtyMeter.h"

#include "protocol/FrameEncoder.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace varnex::sim {

namespace {

using SteadyClock = std::chrono::steady_clock;

// While nobody has the port open the master reports a hang-up at once on every poll;
// look again this often for a program that opens it.
constexpr auto kHangUpRecheck = std::chrono::milliseconds(20);

[[noreturn]] void ThrowSystemError(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

void CloseIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int MillisecondsUntil(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

} // namespace

PtyMeter::PtyMeter(std::shared_ptr<SharedMeter> meter, PtyMeterOptions options)
    : meter_(std::move(meter))
    , options_(std::move(options))
    , pacer_(options_.paceSeed, options_.minimumGap, options_.maximumGap)
{
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (masterFd_ < 0)
        ThrowSystemError("posix_openpt");
    try {
        if (::grantpt(masterFd_) != 0)
            ThrowSystemError("grantpt");
        if (::unlockpt(masterFd_) != 0)
            ThrowSystemError("unlockpt");
        char name[128];
        if (::ptsname_r(masterFd_, name, sizeof name) != 0)
            ThrowSystemError("ptsname_r");
        slavePath_ = name;

        // Set from the master, these are the slave's settings: raw, so the CR and LF of every
        // frame reach the program untranslated (no ICRNL, no OPOST/ONLCR, no echo).
        termios settings{};
        if (::tcgetattr(masterFd_, &settings) != 0)
            ThrowSystemError("tcgetattr");
        ::cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        if (::tcsetattr(masterFd_, TCSANOW, &settings) != 0)
            ThrowSystemError("tcsetattr");

        // Open and close the slave once: from then on the master reports a hang-up whenever
        // no program has the port open, which is how the worker knows to drop frames.
        const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (slave < 0)
            ThrowSystemError("open pty slave");
        ::close(slave);

        int wake[2];
        if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0)
            ThrowSystemError("pipe2");
        wakeRead_ = wake[0];
        wakeWrite_ = wake[1];
    } catch (...) {
        CloseIfOpen(masterFd_);
        throw;
    }
    worker_ = std::thread([this] { Run(); });
}

PtyMeter::~PtyMeter()
{
    Stop();
    CloseIfOpen(wakeRead_);
    CloseIfOpen(wakeWrite_);
    CloseIfOpen(masterFd_);
}

void PtyMeter::Stop()
{
    if (!worker_.joinable())
        return;
    stopping_ = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &wake, 1);
    worker_.join();
}

bool PtyMeter::ProgramHasPortOpen() const
{
    pollfd master{masterFd_, POLLIN, 0};
    if (::poll(&master, 1, 0) < 0)
        return false;
    return (master.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

void PtyMeter::ReadKeys()
{
    std::uint8_t bytes[64];
    for (;;) {
        const ssize_t got = ::read(masterFd_, bytes, sizeof bytes);
        if (got <= 0)
            return;  // nothing more (EAGAIN), or the program closed the port (EIO)
        for (const MeterKey key : keys_.Feed(bytes, static_cast<std::size_t>(got))) {
            meter_->Press(key);
            ++keysReceived_;
            if (options_.onKey)
                options_.onKey(key);
        }
    }
}

void PtyMeter::SendFrame()
{
    if (!ProgramHasPortOpen()) {
        ++framesDropped_;
        return;
    }
    const WireFrame frame = EncodeFrame(meter_->Sample(meter_->Now()));
    if (!options_.paceBytes) {
        if (::write(masterFd_, frame.data(), frame.size()) == static_cast<ssize_t>(frame.size()))
            ++framesSent_;
        else
            ++framesDropped_;
        return;
    }
    const auto start = SteadyClock::now();
    for (int i = 0; i < kFrameBytes; ++i) {
        // A full buffer means the program stopped reading: the rest of the frame is lost.
        if (::write(masterFd_, &frame[static_cast<std::size_t>(i)], 1) != 1) {
            ++framesDropped_;
            return;
        }
        std::this_thread::sleep_until(start + ByteArrivalOffset(i));
    }
    ++framesSent_;
}

bool PtyMeter::WaitUntil(SteadyClock::time_point deadline)
{
    while (!stopping_) {
        const bool listening = ProgramHasPortOpen();
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {masterFd_, POLLIN, 0}};
        int timeout = MillisecondsUntil(deadline);
        if (!listening)
            timeout = std::min(timeout, static_cast<int>(kHangUpRecheck.count()));
        const int ready = ::poll(fds, listening ? 2 : 1, timeout);
        if (ready < 0) {
            // EINTR, or a passing shortage: the meter keeps sending, it never stops on its own
            if (errno != EINTR)
                std::this_thread::sleep_for(kHangUpRecheck);
        } else if (fds[0].revents & POLLIN) {
            return false;
        } else if (listening && (fds[1].revents & POLLIN)) {
            ReadKeys();
        }
        if (SteadyClock::now() >= deadline)
            return !stopping_;
    }
    return false;
}

void PtyMeter::Run()
{
    auto next = SteadyClock::now() + pacer_.NextGap();
    while (WaitUntil(next)) {
        SendFrame();
        next += pacer_.NextGap();
        if (next < SteadyClock::now())  // fell behind (a suspended machine): no burst of frames
            next = SteadyClock::now() + pacer_.NextGap();
    }
}

} // namespace varnex::sim
