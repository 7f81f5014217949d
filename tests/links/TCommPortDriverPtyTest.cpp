// TCommPortDriver over PosixSerialPlatform on a real pseudo-terminal pair: the test
// plays the meter on the master side.
#include "PtyPair.h"
#include "links/LinuxCustomBaud.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sys/ioctl.h>

namespace varnex {
namespace {

using testing::PtyPair;

class CommPortDriverPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok()) << "no pseudo-terminals on this machine";
        auto owned = std::make_unique<PosixSerialPlatform>();
        platform = owned.get();
        platform->names().setOverride(pnCOM1, pty.slavePath());
        driver = std::make_unique<TCommPortDriver>(std::move(owned));
        driver->SetComPort(pnCOM1);
        driver->SetComPortDataBits(db7BITS);
        driver->SetComPortStopBits(sb2BITS);
        driver->SetOnReceiveData([this](TCommPortDriver*, const std::uint8_t* data, int size) {
            batches.emplace_back(data, data + size);
        });
    }

    // The pty hands bytes to the slave side a moment after the master wrote them.
    bool waitUntilWaiting(int count, int timeoutMs = 1000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            int waiting = 0;
            if (ioctl(platform->fileDescriptor(), FIONREAD, &waiting) == 0 && waiting >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    PtyPair pty;
    PosixSerialPlatform* platform = nullptr;
    std::unique_ptr<TCommPortDriver> driver;
    std::vector<std::vector<std::uint8_t>> batches;
};

TEST_F(CommPortDriverPtyTest, MissingDeviceFailsQuietlyAndIsRetried)
{
    platform->names().setOverride(pnCOM1, "/nonexistent/ttyVarnex");
    EXPECT_FALSE(driver->Connect());
    EXPECT_FALSE(driver->IsConnected());
    EXPECT_FALSE(platform->lastError().empty());
    platform->names().setOverride(pnCOM1, pty.slavePath());
    EXPECT_TRUE(driver->Connect());
    EXPECT_TRUE(driver->IsConnected());
}

TEST_F(CommPortDriverPtyTest, ModemControlRefusalsDoNotFailTheConnect)
{
    // A pty has no DTR or RTS; the open must still succeed.
    ASSERT_TRUE(driver->Connect());
    EXPECT_FALSE(driver->LineSettingsRefused());
    termios tio{};
    ASSERT_EQ(tcgetattr(platform->fileDescriptor(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL));
    EXPECT_EQ(driver->OutFreeSpace(), 2048); // the pty reports nothing queued
}

TEST_F(CommPortDriverPtyTest, ConnectWhileOpenKeepsThePort)
{
    ASSERT_TRUE(driver->Connect());
    const int fd = platform->fileDescriptor();
    EXPECT_TRUE(driver->Connect());
    EXPECT_EQ(platform->fileDescriptor(), fd);
}

TEST_F(CommPortDriverPtyTest, PortIsExclusiveAndFreedByDisconnect)
{
    ASSERT_TRUE(driver->Connect());
    PosixSerialPlatform other;
    EXPECT_FALSE(other.open(pty.slavePath()));
    driver->Disconnect();
    EXPECT_TRUE(other.open(pty.slavePath())) << other.lastError();
    other.close();
    EXPECT_TRUE(driver->Connect()) << platform->lastError();
}

TEST_F(CommPortDriverPtyTest, ReconnectsToAPtyThatStoredCs7AsCs8)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(driver->Connect()) << i << ": " << platform->lastError();
        EXPECT_FALSE(driver->LineSettingsRefused());
        driver->Disconnect();
    }
}

TEST_F(CommPortDriverPtyTest, ComPortIgnoredWhileOpen)
{
    ASSERT_TRUE(driver->Connect());
    driver->SetComPort(pnCOM2);
    EXPECT_EQ(driver->ComPort(), pnCOM1);
    EXPECT_EQ(platform->devicePath(), pty.slavePath());
}

TEST_F(CommPortDriverPtyTest, PollFindingThirtyBytesCallsTheHandlerOnce)
{
    ASSERT_TRUE(driver->Connect());
    driver->PollReceive();
    EXPECT_TRUE(batches.empty());

    std::vector<std::uint8_t> thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back(static_cast<std::uint8_t>(0x30 + i));
    pty.meterSends(thirty);
    ASSERT_TRUE(waitUntilWaiting(30));
    driver->PollReceive();
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0], thirty);
    driver->PollReceive();
    EXPECT_EQ(batches.size(), 1u);
}

TEST_F(CommPortDriverPtyTest, PollTimerDeliversTheStreamInOrder)
{
    driver->SetComPortPollingDelay(5);
    ASSERT_TRUE(driver->Connect());
    std::vector<std::uint8_t> frame = {0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0x0D};
    pty.meterSends(frame);
    pty.meterSends(frame);
    std::vector<std::uint8_t> all;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (all.size() < 42 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        all.clear();
        for (const auto& b : batches)
            all.insert(all.end(), b.begin(), b.end());
    }
    std::vector<std::uint8_t> expected = frame;
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(all, expected);
}

TEST_F(CommPortDriverPtyTest, ChangingTheLineWhileOpenDiscardsUnreadInput)
{
    ASSERT_TRUE(driver->Connect());
    pty.meterSends({1, 2, 3, 4});
    ASSERT_TRUE(waitUntilWaiting(4));
    driver->SetComPortSpeed(br19200);
    driver->PollReceive();
    EXPECT_TRUE(batches.empty());
    termios tio{};
    ASSERT_EQ(tcgetattr(platform->fileDescriptor(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B19200);
}

TEST_F(CommPortDriverPtyTest, RatesWithoutATermiosConstantAreSetExactly)
{
    ASSERT_TRUE(driver->Connect());
    driver->SetComPortSpeed(br14400);
    ASSERT_FALSE(driver->LineSettingsRefused()) << platform->lastError();
    EXPECT_EQ(ReadBaudRate(platform->fileDescriptor()), 14400u);
    driver->SetComPortSpeed(br56000);
    EXPECT_EQ(ReadBaudRate(platform->fileDescriptor()), 56000u);
}

TEST_F(CommPortDriverPtyTest, SendDataPutsExactlyTheBytesOnTheWire)
{
    EXPECT_EQ(driver->OutFreeSpace(), -1);
    ASSERT_TRUE(driver->Connect());
    const std::uint8_t dcv[] = {0x41, 0x41};
    EXPECT_EQ(driver->SendData(dcv, 2), 2);
    EXPECT_EQ(pty.meterReceives(2), (std::vector<std::uint8_t>{0x41, 0x41}));
}

TEST_F(CommPortDriverPtyTest, SilentPollTickNeverTakesLong)
{
    ASSERT_TRUE(driver->Connect());
    auto worst = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        driver->PollReceive();
        worst = std::max(worst, std::chrono::steady_clock::now() - start);
    }
    EXPECT_TRUE(batches.empty());
    RecordProperty("worst_silent_poll_tick_us",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(worst).count()));
    EXPECT_LT(worst, std::chrono::milliseconds(20));
}

} // namespace
} // namespace varnex
