// The USB link against a scripted bridge library: open sequence, poll tick, send, close.
#include "links/UsbLink.h"
#include "links/testing/ScriptedSiUsbLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

using testing::ScriptedSiUsbLibrary;
using Names = std::vector<std::string>;

// Stands in for the USB frame assembler: a group is 21 bytes.
struct RecordingAssembler {
    std::vector<std::uint8_t> bytes;
    int resets = 0;
    int position = 0;
    bool add(std::uint8_t b)
    {
        bytes.push_back(b);
        if (++position < 21)
            return false;
        position = 0;
        return true;
    }
};

class UsbLinkTest : public ::testing::Test {
protected:
    UsbLinkTest() : link(lib)
    {
        link.setUi(UsbLinkUi{[this](const std::string& text) { events.push_back("message: " + text); },
                             [this] { events.push_back("disconnected look"); },
                             [this] { events.push_back("stop polling"); }});
        link.setFrameSink(UsbFrameSink{[this](std::uint8_t b) { return assembler.add(b); },
                                       [this] { ++assembler.resets; }});
    }

    static std::string message(const char* text) { return std::string("message: ") + text; }

    ScriptedSiUsbLibrary lib;
    UsbLink link;
    RecordingAssembler assembler;
    std::vector<std::string> events;
};

TEST_F(UsbLinkTest, OpenSequenceWithOneBridge)
{
    link.usb_dllClick();
    EXPECT_EQ(lib.callNames(), (Names{"SI_GetNumDevices", "SI_Open", "SI_SetBaudRate", "SI_SetTimeouts"}));
    const auto& calls = lib.calls();
    EXPECT_EQ(calls[1].arg1, 0u);                      // device 0
    EXPECT_EQ(calls[2].handle, lib.deviceHandle());
    EXPECT_EQ(calls[2].arg1, 9600u);
    EXPECT_EQ(calls[3].arg1, 500u);
    EXPECT_EQ(calls[3].arg2, 500u);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(link.UsbOpen());
    EXPECT_EQ(link.UsbHandle(), lib.deviceHandle());
    EXPECT_EQ(link.UsbDeviceCount(), 1u);
    EXPECT_EQ(link.UsbStatus(), SI_SUCCESS);
}

TEST_F(UsbLinkTest, NotFoundAndOpenFailsGoesBackToTheDisconnectedLookAndStopsPolling)
{
    lib.queueStatus("SI_GetNumDevices", SI_DEVICE_NOT_FOUND);
    lib.queueStatus("SI_Open", SI_DEVICE_NOT_FOUND);
    link.usb_dllClick();
    EXPECT_EQ(lib.callNames(), (Names{"SI_GetNumDevices", "SI_Open"}));
    EXPECT_EQ(events, (Names{message(kUsbNotFoundMessage), message(kUsbDriverMessage), "disconnected look",
                             "stop polling"}));
    EXPECT_FALSE(link.UsbOpen());
    EXPECT_EQ(link.UsbHandle(), nullptr);
    EXPECT_NE(link.UsbStatus(), SI_SUCCESS);
}

TEST_F(UsbLinkTest, NotFoundButDeviceZeroOpensStaysConnected)
{
    lib.queueStatus("SI_GetNumDevices", SI_DEVICE_NOT_FOUND);
    link.usb_dllClick();
    EXPECT_EQ(lib.callNames(), (Names{"SI_GetNumDevices", "SI_Open", "SI_SetBaudRate", "SI_SetTimeouts"}));
    EXPECT_EQ(events, (Names{message(kUsbNotFoundMessage)}));
    EXPECT_TRUE(link.UsbOpen());
    EXPECT_EQ(link.UsbDeviceCount(), 1u);
}

TEST_F(UsbLinkTest, OpenFailureKeepsTheButtonDownAndEveryTickFails)
{
    lib.queueStatus("SI_Open", SI_DEVICE_IO_FAILED);
    link.usb_dllClick();
    EXPECT_EQ(events, (Names{message(kUsbDriverMessage)}));
    EXPECT_FALSE(link.UsbOpen());
    EXPECT_EQ(link.UsbHandle(), nullptr);
    lib.queueBytes({0x41});
    link.Timer1Timer();
    EXPECT_NE(link.UsbStatus(), SI_SUCCESS);
    EXPECT_TRUE(assembler.bytes.empty());
}

TEST_F(UsbLinkTest, BaudRateFailureShowsTimeOutAndLeavesTheDeviceOpen)
{
    lib.queueStatus("SI_SetBaudRate", SI_INVALID_BAUDRATE);
    link.usb_dllClick();
    EXPECT_EQ(lib.callNames(), (Names{"SI_GetNumDevices", "SI_Open", "SI_SetBaudRate"}));
    EXPECT_EQ(events, (Names{message(kUsbTimeoutMessage)}));
    EXPECT_TRUE(link.UsbOpen());
}

TEST_F(UsbLinkTest, TimeoutsResultIsNotExamined)
{
    lib.queueStatus("SI_SetTimeouts", SI_INVALID_PARAMETER);
    link.usb_dllClick();
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(link.UsbOpen());
    EXPECT_EQ(link.UsbStatus(), SI_INVALID_PARAMETER);
}

TEST_F(UsbLinkTest, NoBridgeOrSeveralBridgesOpenNothingAndSayNothing)
{
    for (std::uint32_t count : {0u, 2u, 3u}) {
        ScriptedSiUsbLibrary quiet;
        quiet.deviceCount = count;
        UsbLink other(quiet);
        std::vector<std::string> seen;
        other.setUi(UsbLinkUi{[&](const std::string& t) { seen.push_back(t); }, [&] { seen.push_back("look"); },
                              [&] { seen.push_back("stop"); }});
        other.usb_dllClick();
        EXPECT_EQ(quiet.callNames(), (Names{"SI_GetNumDevices"})) << count;
        EXPECT_TRUE(seen.empty()) << count;
        EXPECT_FALSE(other.UsbOpen());
        EXPECT_EQ(other.UsbDeviceCount(), count);
        quiet.queueBytes({0x41});
        other.Timer1Timer();
        EXPECT_NE(other.UsbStatus(), SI_SUCCESS) << count;
    }
}

TEST_F(UsbLinkTest, TickReadsOneByteIntoTheAssembler)
{
    link.usb_dllClick();
    lib.clearCalls();
    lib.queueBytes({0x3A, 0x35});
    link.Timer1Timer();
    EXPECT_EQ(assembler.bytes, (std::vector<std::uint8_t>{0x3A}));
    ASSERT_EQ(lib.calls().size(), 1u);
    EXPECT_EQ(lib.calls()[0].name, "SI_Read");
    EXPECT_EQ(lib.calls()[0].arg1, 1u);
    EXPECT_EQ(lib.calls()[0].handle, lib.deviceHandle());
    EXPECT_EQ(link.UsbRxByte(), 0x3A);
    EXPECT_EQ(link.UsbRxCount(), 1u);
}

TEST_F(UsbLinkTest, FailedReadFlushesAndResetsInTheSameTickAndDeliversNothing)
{
    link.usb_dllClick();
    lib.queueBytes({0x41});
    link.Timer1Timer();
    lib.clearCalls();

    link.Timer1Timer(); // nothing buffered: the read fails at once
    EXPECT_EQ(lib.callNames(), (Names{"SI_Read", "SI_FlushBuffers"}));
    EXPECT_EQ(lib.calls()[1].flushTransmit, 1);
    EXPECT_EQ(lib.calls()[1].flushReceive, 1);
    EXPECT_EQ(assembler.resets, 1);
    // The byte of the last good read is not handed over a second time.
    EXPECT_EQ(assembler.bytes, (std::vector<std::uint8_t>{0x41}));

    lib.queueReadFailure(SI_READ_ERROR);
    link.Timer1Timer();
    EXPECT_EQ(assembler.resets, 2);
    EXPECT_EQ(assembler.bytes.size(), 1u);

    lib.queueBytes({0x42});
    link.Timer1Timer(); // the next tick reads again
    EXPECT_EQ(assembler.bytes, (std::vector<std::uint8_t>{0x41, 0x42}));
}

TEST_F(UsbLinkTest, BridgeIsFlushedAfterEachCompleteGroup)
{
    link.usb_dllClick();
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < 30; ++i)
        stream.push_back(static_cast<std::uint8_t>(i));
    lib.queueBytes(stream);
    lib.clearCalls();
    for (int i = 0; i < 21; ++i)
        link.Timer1Timer();
    EXPECT_EQ(lib.count("SI_Read"), 21);
    EXPECT_EQ(lib.count("SI_FlushBuffers"), 1);
    EXPECT_EQ(lib.calls().back().name, "SI_FlushBuffers");
    EXPECT_EQ(lib.pendingReads(), 0u); // the nine bytes queued meanwhile are gone

    lib.queueBytes({0x77});
    link.Timer1Timer();
    EXPECT_EQ(assembler.bytes.back(), 0x77);
    EXPECT_EQ(assembler.resets, 0);
}

TEST_F(UsbLinkTest, KeyWritesExactlyTwoBytes)
{
    link.usb_dllClick();
    lib.clearCalls();
    link.UsbSend("BB");
    ASSERT_EQ(lib.callNames(), (Names{"SI_Write"}));
    EXPECT_EQ(lib.calls()[0].arg1, 2u);
    EXPECT_EQ(lib.written(), (std::vector<std::uint8_t>{0x42, 0x42}));
    EXPECT_EQ(link.UsbSendCount(), 2u);
    EXPECT_EQ(link.UsbSendBuffer(), (std::array<std::uint8_t, 2>{0x42, 0x42}));
}

TEST_F(UsbLinkTest, KeyWithoutAnOpenDeviceDoesNothing)
{
    link.UsbSend('A', 'A');
    EXPECT_TRUE(lib.calls().empty());
}

TEST_F(UsbLinkTest, FailedWriteOnlyLeavesItsStatus)
{
    link.usb_dllClick();
    lib.queueStatus("SI_Write", SI_WRITE_ERROR);
    link.UsbSend('D', 'D');
    EXPECT_EQ(link.UsbStatus(), SI_WRITE_ERROR);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(link.UsbOpen());
}

TEST_F(UsbLinkTest, CloseOnceAndOnlyWhenOpen)
{
    link.usb_dllClick();
    link.Close();
    link.Close();
    EXPECT_EQ(lib.count("SI_Close"), 1);
    EXPECT_EQ(lib.calls().back().handle, lib.deviceHandle());
    EXPECT_FALSE(link.UsbOpen());
    EXPECT_EQ(link.UsbHandle(), nullptr);

    // A new connection starts again from the open sequence.
    link.usb_dllClick();
    EXPECT_TRUE(link.UsbOpen());
    EXPECT_EQ(lib.count("SI_GetNumDevices"), 2);
}

TEST_F(UsbLinkTest, NoCloseWhenTheOpenFailed)
{
    lib.queueStatus("SI_Open", SI_DEVICE_NOT_FOUND);
    link.usb_dllClick();
    link.Close();
    EXPECT_EQ(lib.count("SI_Close"), 0);
}

} // namespace
} // namespace varnex

namespace varnex {
namespace {

TEST_F(UsbLinkTest, ReopenAfterALostDeviceRunsTheOpenSequenceQuietly)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    std::vector<std::string> losses;
    link.setOnDeviceLost([&](const std::string& cause) { losses.push_back(cause); });
    lib.queueReadFailure(SI_DEVICE_GONE);
    link.Timer1Timer();
    ASSERT_EQ(losses.size(), 1u);
    ASSERT_TRUE(link.DeviceLost());

    lib.clearCalls();
    EXPECT_TRUE(link.Reopen());
    EXPECT_EQ(lib.callNames(),
              (Names{"SI_Close", "SI_GetNumDevices", "SI_Open", "SI_SetBaudRate", "SI_SetTimeouts"}));
    EXPECT_TRUE(link.UsbOpen());
    EXPECT_FALSE(link.DeviceLost());
    EXPECT_TRUE(events.empty()) << "no box for a try";

    // Gone again later: told again.
    lib.queueReadFailure(SI_DEVICE_GONE);
    link.Timer1Timer();
    EXPECT_EQ(losses.size(), 2u);
}

TEST_F(UsbLinkTest, ReopenWithNoBridgeFailsQuietlyAndTriesNothingElse)
{
    link.usb_dllClick();
    lib.clearCalls();
    lib.queueStatus("SI_GetNumDevices", SI_DEVICE_NOT_FOUND);
    EXPECT_FALSE(link.Reopen());
    EXPECT_EQ(lib.callNames(), (Names{"SI_Close", "SI_GetNumDevices"}));
    EXPECT_FALSE(link.UsbOpen());
    EXPECT_TRUE(events.empty());
}

// A library whose DLL is not installed: the link says so once and asks it nothing.
class UnavailableLibrary : public testing::ScriptedSiUsbLibrary {
public:
    std::string UnavailableMessage() const override { return "The USB driver library X.dll was not found."; }
};

TEST(UsbLinkUnavailableLibraryTest, OneMessageNoCallsAndTheDisconnectedLook)
{
    UnavailableLibrary lib;
    UsbLink link(lib);
    std::vector<std::string> events;
    link.setUi(UsbLinkUi{[&](const std::string& text) { events.push_back("message: " + text); },
                         [&] { events.push_back("disconnected look"); }, [&] { events.push_back("stop polling"); }});
    link.usb_dllClick();
    EXPECT_TRUE(lib.calls().empty());
    EXPECT_EQ(events, (std::vector<std::string>{"message: The USB driver library X.dll was not found.",
                                                "disconnected look", "stop polling"}));
    EXPECT_FALSE(link.UsbOpen());
    EXPECT_NE(link.UsbStatus(), SI_SUCCESS);
    link.UsbSend('A', 'A');
    EXPECT_TRUE(lib.calls().empty());
}

} // namespace
} // namespace varnex
