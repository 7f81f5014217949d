#pragma once
// A pseudo-terminal pair for tests: the component opens the slave by path, the test
// plays the meter on the master.
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace varnex::testing {

class PtyPair {
public:
    PtyPair()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        const char* name = ptsname(master_);
        if (name)
            slavePath_ = name;
        // The master side raw too, so the test sees the bytes exactly.
        termios tio{};
        if (tcgetattr(master_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(master_, TCSANOW, &tio);
        }
    }
    ~PtyPair()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
    // The meter's side goes away: the slave side sees a hang-up, as when a USB
    // adapter is unplugged.
    void hangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    void meterSends(const std::vector<std::uint8_t>& bytes) const
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Everything the computer side wrote, waiting up to timeoutMs for `expected` bytes.
    std::vector<std::uint8_t> meterReceives(std::size_t expected, int timeoutMs = 1000) const
    {
        std::vector<std::uint8_t> got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < expected && std::chrono::steady_clock::now() < deadline) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
        }
        // Anything beyond the expected count must show up too.
        std::uint8_t buffer[256];
        ssize_t n;
        while ((n = ::read(master_, buffer, sizeof buffer)) > 0)
            got.insert(got.end(), buffer, buffer + n);
        return got;
    }

    // Waits until the slave side has `count` bytes to read (the pty moves data lazily).
    bool waitSlaveReadable(int slaveFd, int timeoutMs = 1000) const
    {
        pollfd p{slaveFd, POLLIN, 0};
        return ::poll(&p, 1, timeoutMs) > 0;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace varnex::testing
