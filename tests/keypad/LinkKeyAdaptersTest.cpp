// The router wired to the real links: a key on a pseudo-terminal port and on the
// scripted USB bridge.
#include "../links/PtyPair.h"
#include "keypad/LinkKeyAdapters.h"
#include "links/PosixSerialPlatform.h"
#include "links/testing/ScriptedSiUsbLibrary.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct NoMessages : KeypadMessages {
    std::vector<std::string> shown;
    void showError(const std::string& text) override { shown.push_back(text); }
};

TEST(LinkKeyAdapters, DcvOnAnOpenComPortPutsTwoBytesOnTheLineAndNothingOnUsb)
{
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SerialPortNames names;
    names.setOverride(pnCOM1, pty.slavePath());
    TCommPortDriver comm2(std::make_unique<PosixSerialPlatform>(names));
    comm2.SetComPort(pnCOM1);
    ASSERT_TRUE(comm2.Connect());

    testing::ScriptedSiUsbLibrary lib;
    UsbLink usb(lib);
    usb.usb_dllClick();
    lib.clearCalls();

    CommPortKeyLink serialLink(comm2);
    UsbLinkKeyLink usbLink(usb);
    NoMessages messages;
    KeypadRouter router(serialLink, usbLink, messages);
    router.SendKeyCode("AA", LinkButtons{true, false});
    EXPECT_EQ(pty.meterReceives(2), (std::vector<std::uint8_t>{0x41, 0x41}));
    EXPECT_TRUE(lib.calls().empty());

    router.SendKeyCode("BB", LinkButtons{false, true});
    EXPECT_EQ(lib.written(), (std::vector<std::uint8_t>{0x42, 0x42}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(LinkKeyAdapters, DciSeesTheStatusOfTheLastUsbCall)
{
    testing::ScriptedSiUsbLibrary lib;
    UsbLink usb(lib);
    usb.usb_dllClick();
    usb.Timer1Timer(); // nothing buffered: the read fails, the flush succeeds
    lib.queueStatus("SI_FlushBuffers", SI_DEVICE_IO_FAILED);
    usb.Timer1Timer(); // this time the flush fails too

    TCommPortDriver comm2(std::make_unique<PosixSerialPlatform>());
    CommPortKeyLink serialLink(comm2);
    UsbLinkKeyLink usbLink(usb);
    NoMessages messages;
    KeypadRouter router(serialLink, usbLink, messages);
    router.SendKeyCode("CC", LinkButtons{false, true});
    EXPECT_EQ(messages.shown, std::vector<std::string>{kUsbNotConnectedMessage});
    router.SendKeyCode("BB", LinkButtons{false, true});
    EXPECT_EQ(lib.written(), (std::vector<std::uint8_t>{0x42, 0x42}));
}

} // namespace
} // namespace varnex
