// TCommPortDriver over PosixSerialPlatform on a real pseudo-terminal pair: the test
// plays the meter on the master side. What every platform shares is in CommPortLinkSuite.h;
// these are the termios details.
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

TEST_F(CommPortDriverPtyTest, ReconnectsToAPtyThatStoredCs7AsCs8)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(driver->Connect()) << i << ": " << platform->lastError();
        EXPECT_FALSE(driver->LineSettingsRefused());
        driver->Disconnect();
    }
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

} // namespace
} // namespace varnex
