// SiUsbXpLibrary against our stand-in SiUSBXp.dll (FakeSiUsbXp.cpp), loaded by name from the
// test's own folder: the open sequence, the poll tick with the real frame assembler and
// decoder, the key command, the close, and the two mended faults of the vendor library's
// read (the 500 ms wait, the stale byte).
#include "links/SiUsbXpLibrary.h"
#include "links/UsbLink.h"
#include "protocol/Decoder.h"
#include "protocol/FrameEncoder.h"
#include "protocol/FrameAssembler.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace varnex {
namespace {

// The stand-in's own exports, from the module the library loaded.
struct FakeDll {
    explicit FakeDll(const char* name)
    {
        HMODULE dll = GetModuleHandleA(name);
        if (!dll)
            return;
        auto get = [dll](const char* export_) { return reinterpret_cast<void*>(GetProcAddress(dll, export_)); };
        reset = reinterpret_cast<void (*)(DWORD, int)>(get("FakeSi_Reset"));
        receive = reinterpret_cast<void (*)(const BYTE*, DWORD)>(get("FakeSi_Receive"));
        emptyReadSucceeds = reinterpret_cast<void (*)(int)>(get("FakeSi_EmptyReadSucceeds"));
        callsInto = reinterpret_cast<void (*)(char*, DWORD)>(get("FakeSi_Calls"));
        writtenInto = reinterpret_cast<DWORD (*)(BYTE*, DWORD)>(get("FakeSi_Written"));
    }
    bool ok() const { return reset && receive && emptyReadSucceeds && callsInto && writtenInto; }
    std::string calls() const
    {
        char buffer[4096];
        callsInto(buffer, sizeof buffer);
        return buffer;
    }
    std::vector<BYTE> written() const
    {
        BYTE buffer[256];
        const DWORD n = writtenInto(buffer, sizeof buffer);
        return std::vector<BYTE>(buffer, buffer + n);
    }
    void receiveBytes(const std::vector<BYTE>& bytes) const { receive(bytes.data(), static_cast<DWORD>(bytes.size())); }

    void (*reset)(DWORD, int) = nullptr;
    void (*receive)(const BYTE*, DWORD) = nullptr;
    void (*emptyReadSucceeds)(int) = nullptr;
    void (*callsInto)(char*, DWORD) = nullptr;
    DWORD (*writtenInto)(BYTE*, DWORD) = nullptr;
};

class SiUsbXpLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lib.Loaded()) << lib.UnavailableMessage();
        ASSERT_TRUE(fake.ok()) << "the SiUSBXp.dll beside the test is not our stand-in";
        fake.reset(1, 0);
        link.setUi(UsbLinkUi{[this](const std::string& text) { messages.push_back(text); },
                             [this] { messages.push_back("(disconnected look)"); }, [] {}});
        link.setFrameSink(UsbFrameSink{[this](std::uint8_t b) {
                                           bytesToAssembler.push_back(b);
                                           return assembler.AddUsbByte(b);
                                       },
                                       [this] {
                                           ++resets;
                                           assembler.ResetUsbFrame();
                                       }});
        assembler.SetFrameHandler([this](const std::string& text) {
            const DecodeResult result = DecodeFrame(text, Reading{}, ".");
            if (result.decoded)
                decoded.push_back(result.reading);
        });
    }

    SiUsbXpLibrary lib;
    FakeDll fake{kSiUsbXpDllName};
    UsbLink link{lib};
    FrameAssembler assembler;
    std::vector<std::string> messages;
    std::vector<std::uint8_t> bytesToAssembler;
    std::vector<Reading> decoded;
    int resets = 0;
};

TEST_F(SiUsbXpLibraryTest, OpenSequenceReachesTheDllWithTheLinksArguments)
{
    link.usb_dllClick();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(link.UsbOpen());
    EXPECT_NE(link.UsbHandle(), nullptr);
    // The link asks for 500 ms; the DLL is given the short caps, first right after the open.
    EXPECT_EQ(fake.calls(), "SI_GetNumDevices SI_Open(0) SI_SetTimeouts(1,20) SI_SetBaudRate(9600) SI_SetTimeouts(1,20)");
    EXPECT_EQ(lib.ReadTimeoutMs(), 500u);
    EXPECT_EQ(lib.WriteTimeoutMs(), 500u);
}

TEST_F(SiUsbXpLibraryTest, NoDeviceGivesTheNotFoundAndTheDriverMessages)
{
    fake.reset(0, SI_DEVICE_NOT_FOUND);
    link.usb_dllClick();
    EXPECT_EQ(messages, (std::vector<std::string>{kUsbNotFoundMessage, kUsbDriverMessage, "(disconnected look)"}));
    EXPECT_FALSE(link.UsbOpen());
    EXPECT_EQ(link.UsbHandle(), nullptr);
}

TEST_F(SiUsbXpLibraryTest, SilentTickDoesNotWaitForTheMeter)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    auto worst = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 10; ++i) {
        const auto start = std::chrono::steady_clock::now();
        link.Timer1Timer();
        worst = std::max(worst, std::chrono::steady_clock::now() - start);
    }
    EXPECT_TRUE(bytesToAssembler.empty());
    EXPECT_EQ(resets, 10);
    RecordProperty("worst_silent_usb_tick_us",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(worst).count()));
    EXPECT_LT(worst, std::chrono::milliseconds(20));
}

TEST_F(SiUsbXpLibraryTest, FrameFromTheDllIsAssembledDecodedAndFlushedBehind)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    DisplayState display;
    display.function = '1';
    display.mainDigits = "012345";
    const WireFrame frame = EncodeFrame(display);
    std::vector<BYTE> bytes(frame.begin(), frame.end());
    bytes.push_back(0x3A); // what the bridge received meanwhile: flushed after the frame
    fake.receiveBytes(bytes);
    for (int i = 0; i < 21; ++i)
        link.Timer1Timer();
    EXPECT_EQ(assembler.FramesAccepted(), 1u);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_FALSE(decoded[0].FunctionText.empty());
    EXPECT_FALSE(decoded[0].ValueText.empty());
    const std::string calls = fake.calls();
    EXPECT_EQ(calls.substr(calls.size() - std::string("SI_Read SI_FlushBuffers(1,1)").size()),
              "SI_Read SI_FlushBuffers(1,1)");
    link.Timer1Timer();
    EXPECT_EQ(bytesToAssembler.size(), 21u) << "the byte queued behind the frame was flushed";
}

TEST_F(SiUsbXpLibraryTest, ReadThatSucceedsWithoutAByteHandsNoStaleByte)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    fake.emptyReadSucceeds(1);
    fake.receiveBytes({0x3A});
    link.Timer1Timer();
    ASSERT_EQ(bytesToAssembler, (std::vector<std::uint8_t>{0x3A}));
    link.Timer1Timer();
    EXPECT_EQ(bytesToAssembler, (std::vector<std::uint8_t>{0x3A})) << "the last byte was handed over again";
    EXPECT_EQ(link.UsbStatus(), SI_SUCCESS) << "the flush after the empty read";
    EXPECT_EQ(resets, 1);
    std::uint8_t byte = 0;
    std::uint32_t count = 99;
    EXPECT_EQ(lib.SI_Read(link.UsbHandle(), &byte, 1, &count, nullptr), SI_READ_TIMED_OUT);
    EXPECT_EQ(count, 0u);
}

TEST_F(SiUsbXpLibraryTest, KeyCommandWritesItsTwoBytes)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    link.UsbSend("BB");
    EXPECT_EQ(fake.written(), (std::vector<BYTE>{'B', 'B'}));
    EXPECT_EQ(link.UsbSendCount(), 2u);
    EXPECT_EQ(link.UsbStatus(), SI_SUCCESS);
}

TEST_F(SiUsbXpLibraryTest, CloseReachesTheDllOnceAndAnEmptyHandleNeverDoes)
{
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    link.Close();
    link.Close();
    const std::string calls = fake.calls();
    EXPECT_EQ(calls.substr(calls.size() - 9), " SI_Close");
    EXPECT_EQ(calls.find("SI_Close"), calls.rfind("SI_Close"));
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_EQ(lib.SI_Read(nullptr, &byte, 1, &count, nullptr), SI_INVALID_HANDLE);
    EXPECT_EQ(lib.SI_Write(nullptr, &byte, 1, &count, nullptr), SI_INVALID_HANDLE);
    EXPECT_EQ(lib.SI_FlushBuffers(nullptr, 1, 1), SI_INVALID_HANDLE);
    EXPECT_EQ(lib.SI_Close(nullptr), SI_INVALID_HANDLE);
    EXPECT_EQ(fake.calls(), calls);
}

TEST(SiUsbXpIncompleteDllTest, ADllWithoutOneOfTheCallsIsRefusedWithAMessage)
{
    SiUsbXpLibrary lib("SiUSBXpWithoutClose.dll");
    EXPECT_FALSE(lib.Loaded());
    const std::string message = lib.UnavailableMessage();
    EXPECT_NE(message.find("SiUSBXpWithoutClose.dll"), std::string::npos) << message;
    EXPECT_NE(message.find("SI_Close"), std::string::npos) << message;
    std::uint32_t devices = 7;
    SI_HANDLE handle = nullptr;
    EXPECT_NE(lib.SI_GetNumDevices(&devices), SI_SUCCESS);
    EXPECT_NE(lib.SI_Open(0, &handle), SI_SUCCESS);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(GetModuleHandleA("SiUSBXpWithoutClose.dll"), nullptr) << "the refused DLL stays loaded";
}

} // namespace
} // namespace varnex
