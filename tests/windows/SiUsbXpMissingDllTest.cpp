// Without SiUSBXp.dll (this test's folder has none, nor has Wine): a message instead of a
// crash, and a USB link that asks nothing of the missing library.
#include "links/SiUsbXpLibrary.h"
#include "links/UsbLink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

TEST(SiUsbXpMissingDllTest, TheLibrarySaysTheDllWasNotFound)
{
    SiUsbXpLibrary lib;
    EXPECT_FALSE(lib.Loaded());
    EXPECT_EQ(lib.UnavailableMessage().rfind("The USB driver library SiUSBXp.dll was not found", 0), 0u)
        << lib.UnavailableMessage();
    std::uint32_t devices = 5;
    SI_HANDLE handle = nullptr;
    std::uint8_t byte = 0;
    std::uint32_t count = 9;
    EXPECT_NE(lib.SI_GetNumDevices(&devices), SI_SUCCESS);
    EXPECT_NE(lib.SI_Open(0, &handle), SI_SUCCESS);
    EXPECT_EQ(handle, nullptr);
    EXPECT_NE(lib.SI_Read(handle, &byte, 1, &count, nullptr), SI_SUCCESS);
    EXPECT_EQ(count, 0u);
}

TEST(SiUsbXpMissingDllTest, ConnectingShowsThatMessageAndGoesBackToTheDisconnectedLook)
{
    SiUsbXpLibrary lib;
    UsbLink link(lib);
    std::vector<std::string> events;
    link.setUi(UsbLinkUi{[&](const std::string& text) { events.push_back(text); },
                         [&] { events.push_back("(disconnected look)"); }, [&] { events.push_back("(Timer1 off)"); }});
    int bytes = 0;
    link.setFrameSink(UsbFrameSink{[&](std::uint8_t) { return ++bytes, false; }, [] {}});
    link.usb_dllClick();
    EXPECT_EQ(events, (std::vector<std::string>{lib.UnavailableMessage(), "(disconnected look)", "(Timer1 off)"}));
    EXPECT_FALSE(link.UsbOpen());
    link.Timer1Timer(); // a tick already queued must not crash either
    link.UsbSend("AA");
    link.Close();
    EXPECT_EQ(bytes, 0);
}

} // namespace
} // namespace varnex
