// How a lost link reaches its owner, at the seams: TCommPortDriver over a platform whose
// reads or writes fail, UsbLink over a library that reports the device gone. This is the
// contract an owner that reconnects builds on.
#include "FakeSerialPlatform.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"
#include "links/testing/ScriptedSiUsbLibrary.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

using testing::FakeSerialPlatform;
using testing::ScriptedSiUsbLibrary;

class SerialPortLost : public ::testing::Test {
protected:
    SerialPortLost() : driver(std::make_unique<FakeSerialPlatform>(rec))
    {
        driver.SetComPort(pnCOM1);
        driver.SetOnPortLost([this](TCommPortDriver*, const std::string& cause) {
            causes.push_back(cause);
            if (reconnectFromHandler)
                reconnected = driver.Connect();
        });
    }
    FakeSerialPlatform::Record rec;
    TCommPortDriver driver;
    std::vector<std::string> causes;
    bool reconnectFromHandler = false;
    bool reconnected = false;
};

TEST_F(SerialPortLost, FailedReadClosesStopsPollingAndTellsTheCauseOnce)
{
    ASSERT_TRUE(driver.Connect());
    rec.readError = true;
    rec.lastError = "/dev/ttyUSB0 hung up";
    driver.PollReceive();
    EXPECT_EQ(causes, std::vector<std::string>{"/dev/ttyUSB0 hung up"});
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_FALSE(driver.PollTimerActive());
    EXPECT_EQ(rec.calls.back(), "close");
    driver.PollReceive();
    EXPECT_EQ(causes.size(), 1u);
}

TEST_F(SerialPortLost, EmptyReadIsNoLoss)
{
    ASSERT_TRUE(driver.Connect());
    driver.PollReceive();
    EXPECT_TRUE(causes.empty());
    EXPECT_TRUE(driver.IsConnected());
}

TEST_F(SerialPortLost, FailedWriteIsALoss)
{
    ASSERT_TRUE(driver.Connect());
    rec.writeError = true;
    EXPECT_EQ(driver.SendData("AA", 2), 0);
    EXPECT_EQ(causes.size(), 1u);
    EXPECT_FALSE(driver.IsConnected());
}

TEST_F(SerialPortLost, OwnerMayConnectAgainFromTheHandler)
{
    ASSERT_TRUE(driver.Connect());
    rec.readError = true;
    reconnectFromHandler = true;
    driver.PollReceive();
    EXPECT_TRUE(reconnected);
    EXPECT_TRUE(driver.IsConnected());
    EXPECT_TRUE(driver.PollTimerActive());
    EXPECT_EQ(rec.opened, (std::vector<std::string>{"COM1", "COM1"}));
}

class UsbDeviceLost : public ::testing::Test {
protected:
    UsbDeviceLost()
    {
        link.setFrameSink(UsbFrameSink{[](std::uint8_t) { return false; }, [] {}});
        link.setOnDeviceLost([this](const std::string&) { ++losses; });
    }
    ScriptedSiUsbLibrary lib;
    UsbLink link{lib};
    int losses = 0;
};

TEST_F(UsbDeviceLost, GoneDeviceIsToldOncePerOpen)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    lib.queueReadFailure(SI_DEVICE_GONE);
    lib.queueReadFailure(SI_DEVICE_GONE);
    link.Timer1Timer();
    link.Timer1Timer();
    EXPECT_EQ(losses, 1);
    EXPECT_TRUE(link.DeviceLost());
    EXPECT_TRUE(link.UsbOpen()) << "closed by the close sequence only";

    link.Close();
    link.usb_dllClick();
    EXPECT_FALSE(link.DeviceLost());
    lib.queueReadFailure(SI_DEVICE_GONE);
    link.Timer1Timer();
    EXPECT_EQ(losses, 2);
}

TEST_F(UsbDeviceLost, OtherReadFailuresAreNoLoss)
{
    link.usb_dllClick();
    lib.queueReadFailure(SI_READ_ERROR);
    lib.queueReadFailure(SI_RX_QUEUE_NOT_READY);
    link.Timer1Timer();
    link.Timer1Timer();
    link.Timer1Timer();
    EXPECT_EQ(losses, 0);
}

TEST_F(UsbDeviceLost, NoDeviceOpenIsNoLoss)
{
    lib.deviceCount = 2;
    link.usb_dllClick();
    ASSERT_FALSE(link.UsbOpen());
    link.Timer1Timer();
    EXPECT_EQ(losses, 0);
}

} // namespace
} // namespace varnex
