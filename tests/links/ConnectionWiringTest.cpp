// The connection bar wired to COMM2 (on a fake platform) and the USB link (on the
// scripted bridge): the window and the links must always agree.
#include "FakeSerialPlatform.h"
#include "links/ConnectionWiring.h"
#include "links/testing/ScriptedSiUsbLibrary.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

class ConnectionWiringTest : public ::testing::Test {
protected:
    ConnectionWiringTest() : comm2(std::make_unique<testing::FakeSerialPlatform>(rec)), usb(lib)
    {
        ApplyComm2Defaults(comm2);
        control.setActions(BindConnectionActions(comm2, usb));
        usb.setUi(BindUsbLinkUi(control, [this](const std::string& text) { messages.push_back(text); }));
    }

    testing::FakeSerialPlatform::Record rec;
    TCommPortDriver comm2;
    testing::ScriptedSiUsbLibrary lib;
    UsbLink usb;
    ConnectionControl control;
    std::vector<std::string> messages;
};

TEST_F(ConnectionWiringTest, Comm2OpensWithTheMetersLineFormat)
{
    control.COMConClick(true);
    ASSERT_EQ(rec.lineSettings.size(), 1u);
    EXPECT_EQ(rec.opened.back(), "COM1");
    EXPECT_EQ(rec.lineSettings[0].baudRate, 9600u);
    EXPECT_EQ(rec.lineSettings[0].dataBits, 7);
    EXPECT_EQ(rec.lineSettings[0].stopBits, sb2BITS);
    EXPECT_EQ(rec.lineSettings[0].parity, ptNONE);
    EXPECT_FALSE(rec.lineSettings[0].ctsOutputFlow || rec.lineSettings[0].xonXoffInput);
}

TEST_F(ConnectionWiringTest, ComConnectionOpensTheSelectedPort)
{
    control.clickPortPanel();
    control.clickPortPanel(); // COM3
    control.COMConClick(true);
    EXPECT_TRUE(comm2.IsConnected());
    EXPECT_EQ(rec.opened.back(), "COM3");
    control.clickPortPanel(); // locked while connected
    EXPECT_EQ(comm2.ComPort(), pnCOM3);
    control.COMConClick(false);
    EXPECT_FALSE(comm2.IsConnected());
}

TEST_F(ConnectionWiringTest, NoBridgeAtAllLeavesTheBarIdleAndTimer1Off)
{
    lib.queueStatus("SI_GetNumDevices", SI_DEVICE_NOT_FOUND);
    lib.queueStatus("SI_Open", SI_DEVICE_NOT_FOUND);
    control.USBClick(true);
    EXPECT_EQ(messages, (std::vector<std::string>{kUsbNotFoundMessage, kUsbDriverMessage}));
    EXPECT_EQ(control.mode(), ConnectionMode::Idle);
    EXPECT_FALSE(control.view().timer1Enabled);
    EXPECT_EQ(control.view().usbCaption, "USB CONNECTION");
    EXPECT_TRUE(control.view().comCon.visible);
    EXPECT_FALSE(usb.UsbOpen());
}

TEST_F(ConnectionWiringTest, BridgeThatOpensAfterNotFoundStaysConnected)
{
    lib.queueStatus("SI_GetNumDevices", SI_DEVICE_NOT_FOUND);
    control.USBClick(true);
    EXPECT_EQ(messages, std::vector<std::string>{kUsbNotFoundMessage});
    EXPECT_EQ(control.mode(), ConnectionMode::Usb);
    EXPECT_TRUE(control.view().timer1Enabled);
    EXPECT_EQ(control.view().usbCaption, "USB DISCONNECTION");
    EXPECT_FALSE(control.view().comCon.visible);
    EXPECT_TRUE(usb.UsbOpen());

    control.USBClick(false);
    EXPECT_EQ(lib.count("SI_Close"), 1);
    EXPECT_FALSE(control.view().timer1Enabled);
}

TEST_F(ConnectionWiringTest, TwoBridgesKeepUsbDownWithNothingOpen)
{
    lib.deviceCount = 2;
    control.USBClick(true);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(control.mode(), ConnectionMode::Usb);
    EXPECT_TRUE(control.view().timer1Enabled);
    usb.Timer1Timer();
    EXPECT_NE(usb.UsbStatus(), SI_SUCCESS);
    control.USBClick(false);
    EXPECT_EQ(lib.count("SI_Close"), 0);
}

} // namespace
} // namespace varnex
