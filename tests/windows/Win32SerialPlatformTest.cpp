// The Win32 serial platform on COM1 (under Wine a pty): what the driver holds after the
// component's Connect, read back through the comm API, and the message for a missing port.
#include "links/TCommPortDriver.h"
#include "links/Win32PollTimer.h"
#include "links/Win32SerialPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace varnex {
namespace {

class Win32SerialPlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<Win32SerialPlatform>();
        platform = owned.get();
        driver = std::make_unique<TCommPortDriver>(std::move(owned), std::make_unique<Win32PollTimer>());
        // COMM2's stored values over the component defaults.
        driver->SetComPort(pnCOM1);
        driver->SetComPortDataBits(db7BITS);
        driver->SetComPortStopBits(sb2BITS);
    }

    Win32SerialPlatform* platform = nullptr;
    std::unique_ptr<TCommPortDriver> driver;
};

TEST_F(Win32SerialPlatformTest, ConnectLeavesCom1WithTheMetersLineFormat)
{
    ASSERT_TRUE(driver->Connect()) << platform->lastError();
    EXPECT_EQ(platform->devicePath(), "\\\\.\\COM1");
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(platform->handle(), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    // Under Wine COM1 is a pty, and Linux stores a pty's 7-bit characters as 8 bits: the
    // platform then keeps the device's own size (BuildDcbTest shows 7 is what it asks for).
    if (platform->KeptDeviceFraming())
        EXPECT_EQ(dcb.ByteSize, 8);
    else
        EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_NE(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    // DTR raised and RTS low cannot be read back here: a pty has no modem lines, and Wine
    // reports both as enabled whatever was set. BuildDcbTest covers what is asked for.
}

TEST_F(Win32SerialPlatformTest, HandshakingChangesReachTheOpenPortAtOnce)
{
    ASSERT_TRUE(driver->Connect()) << platform->lastError();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    driver->SetComPortSwHandshaking(shXONXOFF);
    ASSERT_TRUE(GetCommState(platform->handle(), &dcb));
    EXPECT_TRUE(dcb.fOutX);
    EXPECT_TRUE(dcb.fInX);
    driver->SetComPortSwHandshaking(shNONE);
    driver->SetComPortHwHandshaking(hhRTSCTS);
    ASSERT_TRUE(GetCommState(platform->handle(), &dcb));
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_TRUE(dcb.fOutxCtsFlow);
    driver->SetComPortHwHandshaking(hhNONE);
    ASSERT_TRUE(GetCommState(platform->handle(), &dcb));
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS) << "the rest of the line format stays";
}

TEST_F(Win32SerialPlatformTest, ReconnectingToADeviceThatKeepsItsOwnFramingWorksEveryTime)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(driver->Connect()) << i << ": " << platform->lastError();
        EXPECT_FALSE(driver->LineSettingsRefused());
        driver->SetComPortSpeed(br19200); // a second SetCommState on the open port
        EXPECT_FALSE(driver->LineSettingsRefused()) << platform->lastError();
        driver->SetComPortSpeed(br9600);
        driver->Disconnect();
    }
}

TEST_F(Win32SerialPlatformTest, ConnectSetsTheShortReadAndUnboundedWriteTimeouts)
{
    ASSERT_TRUE(driver->Connect()) << platform->lastError();
    COMMTIMEOUTS t{};
    ASSERT_TRUE(GetCommTimeouts(platform->handle(), &t));
    EXPECT_EQ(t.ReadIntervalTimeout, 1u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 1u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 0u);
}

TEST_F(Win32SerialPlatformTest, OutFreeSpaceCountsTheTransmitQueueFromClearCommError)
{
    EXPECT_EQ(driver->OutFreeSpace(), -1);
    ASSERT_TRUE(driver->Connect()) << platform->lastError();
    EXPECT_EQ(driver->OutFreeSpace(), 2048); // nothing waiting to go out
}

TEST_F(Win32SerialPlatformTest, MissingComPortFailsWithItsNameAndTheSystemsReason)
{
    platform->setDevicePath("COM1", "\\\\.\\COM77");
    EXPECT_FALSE(driver->Connect());
    EXPECT_FALSE(driver->IsConnected());
    EXPECT_FALSE(driver->PollTimerActive());
    const std::string& why = platform->lastError();
    EXPECT_EQ(why.rfind("\\\\.\\COM77: ", 0), 0u) << why;
    EXPECT_NE(why.find("(error 2)"), std::string::npos) << why; // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(driver->SendData("AA", 2), 0);
}

TEST_F(Win32SerialPlatformTest, ClosedPlatformRefusesEverythingQuietly)
{
    Win32SerialPlatform closed;
    std::uint8_t byte = 0;
    EXPECT_FALSE(closed.isOpen());
    EXPECT_FALSE(closed.setLineSettings(SerialLineSettings{}));
    EXPECT_EQ(closed.read(&byte, 1), 0);
    EXPECT_EQ(closed.write(&byte, 1), 0);
    EXPECT_EQ(closed.outQueueBytes(), 0);
    closed.purge(true, true);
    closed.close();
}

} // namespace
} // namespace varnex
