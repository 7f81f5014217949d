// The meter on a pseudo-terminal, seen by a plain reader of the slave device as the program
// would see a serial port.
#include "sim/PtyMeter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace varnex::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The slave end opened raw, 9600 7N2, as the program opens its COM port.
class SlavePort {
public:
    explicit SlavePort(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        if (fd_ < 0)
            return;
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | CSTOPB | CLOCAL | CREAD;
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~SlavePort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SlavePort(const SlavePort&) = delete;
    SlavePort& operator=(const SlavePort&) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    // Everything that arrives within the time.
    std::vector<std::uint8_t> ReadFor(std::chrono::milliseconds duration)
    {
        std::vector<std::uint8_t> bytes;
        const auto end = Clock::now() + duration;
        while (Clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, 20);
            std::uint8_t chunk[256];
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got > 0)
                bytes.insert(bytes.end(), chunk, chunk + got);
        }
        return bytes;
    }

    bool Write(const char* text, std::size_t count) { return ::write(fd_, text, count) == static_cast<ssize_t>(count); }

private:
    int fd_;
};

// Whole frames (19 data bytes, CR, LF) after the first LF; false when any is malformed.
bool SplitFrames(const std::vector<std::uint8_t>& bytes, std::vector<std::vector<std::uint8_t>>& frames)
{
    std::size_t i = 0;
    while (i < bytes.size() && bytes[i] != 0x0A)
        ++i;  // the reader may have come in mid-frame
    for (++i; i + 21 <= bytes.size(); i += 21) {
        std::vector<std::uint8_t> frame(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(i + 21));
        for (int d = 0; d < 19; ++d) {
            if ((frame[static_cast<std::size_t>(d)] & 0xF0) != 0x30)
                return false;
        }
        if (frame[19] != 0x0D || frame[20] != 0x0A)
            return false;
        frames.push_back(frame);
    }
    return true;
}

PtyMeterOptions QuickFrames()
{
    PtyMeterOptions options;
    options.minimumGap = 40ms;
    options.maximumGap = 60ms;
    return options;
}

TEST(PtyMeter, AReaderOfTheSlaveGetsWholeFramesWithCrLf)
{
    auto meter = std::make_shared<SharedMeter>(3);
    PtyMeter pty(meter);
    ASSERT_EQ(pty.slavePath().rfind("/dev/pts/", 0), 0u) << pty.slavePath();

    SlavePort port(pty.slavePath());
    ASSERT_TRUE(port.IsOpen());
    const std::vector<std::uint8_t> bytes = port.ReadFor(1200ms);
    std::vector<std::vector<std::uint8_t>> frames;
    ASSERT_TRUE(SplitFrames(bytes, frames)) << bytes.size() << " bytes";
    EXPECT_GE(frames.size(), 2u) << "a frame every 300-500 ms";
    EXPECT_LE(frames.size(), 4u);
    EXPECT_EQ(frames.front()[0], 0x30) << "DCV";
}

TEST(PtyMeter, KeysWrittenToTheSlaveReachTheMeter)
{
    auto meter = std::make_shared<SharedMeter>(3);
    std::vector<MeterKey> seen;
    std::mutex seenMutex;
    PtyMeterOptions options = QuickFrames();
    options.onKey = [&](MeterKey key) {
        std::lock_guard<std::mutex> lock(seenMutex);
        seen.push_back(key);
    };
    PtyMeter pty(meter, options);
    SlavePort port(pty.slavePath());
    ASSERT_TRUE(port.IsOpen());

    ASSERT_TRUE(port.Write("B", 1));
    std::this_thread::sleep_for(30ms);
    ASSERT_TRUE(port.Write("BEE", 3));  // completes "BB"; "EE" follows at once

    const auto deadline = Clock::now() + 2s;
    while (pty.KeysReceived() < 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(pty.KeysReceived(), 2u);
    EXPECT_EQ(meter->Read([](const MeterModel& m) { return m.Function(); }), MeterFunction::Ohms);
    {
        std::lock_guard<std::mutex> lock(seenMutex);
        EXPECT_EQ(seen, (std::vector<MeterKey>{MeterKey::Acv, MeterKey::Ohm}));
    }

    std::vector<std::vector<std::uint8_t>> frames;
    ASSERT_TRUE(SplitFrames(port.ReadFor(300ms), frames));
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()[0], 0x36) << "the meter now sends function 6";
}

TEST(PtyMeter, FramesSentWhileNobodyListensAreDroppedNotQueued)
{
    auto meter = std::make_shared<SharedMeter>(3);
    PtyMeter pty(meter, QuickFrames());
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(pty.FramesSent(), 0u);
    EXPECT_GE(pty.FramesDropped(), 3u);

    SlavePort port(pty.slavePath());
    ASSERT_TRUE(port.IsOpen());
    const std::vector<std::uint8_t> first = port.ReadFor(30ms);
    EXPECT_LE(first.size(), 21u) << "no backlog of old readings on connecting";

    std::vector<std::vector<std::uint8_t>> frames;
    ASSERT_TRUE(SplitFrames(port.ReadFor(400ms), frames));
    EXPECT_GE(frames.size(), 3u) << "frames flow once the port is open";
}

TEST(PtyMeter, KeepsStreamingAcrossReconnects)
{
    auto meter = std::make_shared<SharedMeter>(3);
    PtyMeter pty(meter, QuickFrames());
    for (int connection = 0; connection < 3; ++connection) {
        SlavePort port(pty.slavePath());
        ASSERT_TRUE(port.IsOpen()) << connection;
        std::vector<std::vector<std::uint8_t>> frames;
        ASSERT_TRUE(SplitFrames(port.ReadFor(300ms), frames)) << connection;
        EXPECT_GE(frames.size(), 2u) << connection;
    }
}

TEST(PtyMeter, StopsPromptlyWhetherOrNotAPortIsOpen)
{
    for (const bool withReader : {false, true}) {
        auto meter = std::make_shared<SharedMeter>(3);
        auto pty = std::make_unique<PtyMeter>(meter);
        std::unique_ptr<SlavePort> port;
        if (withReader)
            port = std::make_unique<SlavePort>(pty->slavePath());
        std::this_thread::sleep_for(100ms);
        const auto start = Clock::now();
        pty.reset();
        EXPECT_LT(Clock::now() - start, 250ms) << (withReader ? "with" : "without") << " a reader";
    }
}

} // namespace
} // namespace varnex::sim
