// The CP210x tty bridge beyond its happy path, on a fake sysfs tree with pseudo-terminals
// as bridges: which tty counts as the bridge, what the user is told about it, a bridge
// that is unplugged while open, and the cap on how long a write may wait.
#include "FakeSysfs.h"
#include "PtyPair.h"
#include "links/Cp210xTtyLibrary.h"
#include "links/UsbLink.h"

#include <gtest/gtest.h>

#include <chrono>

namespace varnex {
namespace {

namespace fs = std::filesystem;
using testing::FakeSysfs;
using testing::PtyPair;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Cp210xChoice, TtysOfTheCp210xDriverWinOverOtherSiliconLabsDevices)
{
    FakeSysfs tree;
    tree.addTty("ttyACM0", "10c4", "cdc_acm", "8a2a");  // a Zigbee stick
    tree.addTty("ttyUSB3", "10c4", "cp210x", "ea60");
    Cp210xTtyLibrary lib(tree.sys(), tree.dev());
    EXPECT_EQ(lib.findBridges(), std::vector<fs::path>{tree.dev() / "ttyUSB3"});
    EXPECT_EQ(lib.findCandidates().size(), 2u);
    std::uint32_t count = 0;
    EXPECT_EQ(lib.SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 1u);
    const std::string report = lib.describeDevices();
    EXPECT_TRUE(contains(report, "USB bridge: " + (tree.dev() / "ttyUSB3").string() + " (cp210x, 10c4:ea60)")) << report;
    EXPECT_TRUE(contains(report, "Not used (not the cp210x driver): " + (tree.dev() / "ttyACM0").string()))
        << report;
}

TEST(Cp210xChoice, WithoutACp210xTtyAnySiliconLabsTtyIsTaken)
{
    FakeSysfs tree;
    tree.addTty("ttyUSB0", "10c4", "", "ea60");
    tree.addTty("ttyUSB1", "0403", "ftdi_sio", "6001");
    Cp210xTtyLibrary lib(tree.sys(), tree.dev());
    EXPECT_EQ(lib.findBridges(), std::vector<fs::path>{tree.dev() / "ttyUSB0"});
}

TEST(Cp210xChoice, TwoBridgesAreNamedAndNoneIsOpened)
{
    FakeSysfs tree;
    tree.addTty("ttyUSB0", "10c4");
    tree.addTty("ttyUSB1", "10c4");
    Cp210xTtyLibrary lib(tree.sys(), tree.dev());
    UsbLink link(lib);
    link.usb_dllClick();
    EXPECT_EQ(link.UsbDeviceCount(), 2u);
    EXPECT_FALSE(link.UsbOpen());
    const std::string report = lib.describeDevices();
    EXPECT_EQ(report, "2 USB bridges found, so none is opened: " + (tree.dev() / "ttyUSB0").string() +
                          " (cp210x, 10c4:ea60), " + (tree.dev() / "ttyUSB1").string() + " (cp210x, 10c4:ea60)");
}

TEST(Cp210xChoice, NoBridgeSaysSo)
{
    FakeSysfs tree;
    Cp210xTtyLibrary lib(tree.sys(), tree.dev());
    std::uint32_t count = 0;
    EXPECT_EQ(lib.SI_GetNumDevices(&count), SI_DEVICE_NOT_FOUND);
    EXPECT_TRUE(contains(lib.describeDevices(), "No USB bridge found")) << lib.describeDevices();
}

class Cp210xUnplugTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        tree.addTty("ttyUSB0", "10c4");
        tree.linkDevice("ttyUSB0", pty.slavePath());
        ASSERT_EQ(lib.SI_Open(0, &handle), SI_SUCCESS) << lib.lastErrorText();
        ASSERT_EQ(lib.SI_SetTimeouts(500, 500), SI_SUCCESS);
    }
    void TearDown() override
    {
        if (handle)
            lib.SI_Close(handle);
    }
    SI_STATUS readOnce()
    {
        std::uint8_t byte = 0;
        std::uint32_t got = 0;
        return lib.SI_Read(handle, &byte, 1, &got, nullptr);
    }

    FakeSysfs tree;
    PtyPair pty;
    Cp210xTtyLibrary lib{tree.sys(), tree.dev()};
    SI_HANDLE handle = nullptr;
};

TEST_F(Cp210xUnplugTest, PluggedSilentBridgeIsNotReady)
{
    EXPECT_EQ(readOnce(), SI_RX_QUEUE_NOT_READY);
    EXPECT_EQ(lib.SI_FlushBuffers(handle, 1, 1), SI_SUCCESS);
}

TEST_F(Cp210xUnplugTest, HungUpBridgeFailsReadFlushAndWrite)
{
    pty.hangUp();
    EXPECT_EQ(readOnce(), SI_DEVICE_GONE);
    EXPECT_TRUE(contains(lib.lastErrorText(), "hung up")) << lib.lastErrorText();
    EXPECT_NE(lib.SI_FlushBuffers(handle, 1, 1), SI_SUCCESS);
    const std::uint8_t key[] = {'C', 'C'};
    std::uint32_t written = 7;
    EXPECT_NE(lib.SI_Write(handle, key, 2, &written, nullptr), SI_SUCCESS);
    EXPECT_EQ(written, 0u);
}

TEST_F(Cp210xUnplugTest, RemovedNodeFailsReadAndFlush)
{
    tree.removeDevice("ttyUSB0");
    EXPECT_EQ(readOnce(), SI_DEVICE_GONE);
    EXPECT_TRUE(contains(lib.lastErrorText(), "is gone")) << lib.lastErrorText();
    EXPECT_EQ(lib.SI_FlushBuffers(handle, 1, 1), SI_DEVICE_GONE);
}

TEST_F(Cp210xUnplugTest, UsbLinkKeepsANonZeroStatusAndReportsTheLossOnce)
{
    // The link's own open sequence, on a second library over the same tree.
    lib.SI_Close(handle);
    handle = nullptr;
    UsbLink link(lib);
    int resets = 0;
    std::vector<std::string> losses;
    link.setFrameSink(UsbFrameSink{[](std::uint8_t) { return false; }, [&] { ++resets; }});
    link.setOnDeviceLost([&](const std::string& cause) { losses.push_back(cause); });
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    link.Timer1Timer();
    EXPECT_EQ(link.UsbStatus(), SI_SUCCESS) << "a silent bridge: the flush after the empty read succeeds";

    pty.hangUp();
    for (int i = 0; i < 5; ++i) {
        link.Timer1Timer();
        EXPECT_NE(link.UsbStatus(), SI_SUCCESS) << "tick " << i;
    }
    EXPECT_EQ(resets, 6);
    ASSERT_EQ(losses.size(), 1u);
    EXPECT_TRUE(link.DeviceLost());
    EXPECT_TRUE(contains(losses[0], "hung up")) << losses[0];
    link.UsbSend('A', 'A');
    EXPECT_NE(link.UsbStatus(), SI_SUCCESS);
    link.Close();
}

TEST_F(Cp210xUnplugTest, WriteGivesUpAfterTheCapNotTheWriteTimeout)
{
    // Nobody reads the meter's side: fill the bridge until it takes no more.
    std::vector<std::uint8_t> block(4096, 'x');
    std::uint32_t written = 0;
    int rounds = 0;
    while (lib.SI_Write(handle, block.data(), std::uint32_t(block.size()), &written, nullptr) == SI_SUCCESS) {
        ASSERT_LT(++rounds, 4096) << "the pty never filled up";
    }
    const std::uint8_t key[] = {'C', 'C'};
    while (lib.SI_Write(handle, key, 2, &written, nullptr) == SI_SUCCESS || written != 0) {
    }
    ASSERT_EQ(lib.writeTimeoutMs(), 500u);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(lib.SI_Write(handle, key, 2, &written, nullptr), SI_WRITE_TIMED_OUT);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(written, 0u);
    RecordProperty("full_bridge_write_ms",
                   int(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_GE(took, std::chrono::milliseconds(Cp210xTtyLibrary::kMaxWriteWaitMs / 2)) << "it gave up without waiting";
    EXPECT_LT(took, std::chrono::milliseconds(250)) << "the 500 ms write time-out is not what the UI thread waits";
}

} // namespace
} // namespace varnex
