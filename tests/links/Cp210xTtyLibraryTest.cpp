// The CP210x tty bridge on a fake sysfs tree, with a pseudo-terminal as the bridge.
#include "FakeSysfs.h"
#include "PtyPair.h"
#include "links/Cp210xTtyLibrary.h"
#include "links/UsbLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/ioctl.h>

namespace varnex {
namespace {

namespace fs = std::filesystem;
using testing::FakeSysfs;
using testing::PtyPair;

TEST(Cp210xEnumeration, FindsOnlyTtysBelowASiliconLabsUsbDevice)
{
    FakeSysfs tree;
    // The root hub above every port carries Linux's own vendor id: the nearest wins.
    fs::create_directories(tree.sys() / "devices" / "pci0000:00" / "usb1");
    std::ofstream(tree.sys() / "devices" / "pci0000:00" / "usb1" / "idVendor") << "1d6b\n";
    tree.addTty("ttyUSB10", "10c4");
    tree.addTty("ttyUSB2", "10C4");
    tree.addTty("ttyUSB1", "0403");
    tree.addTty("ttyS0", "");
    tree.addVirtualTty("tty0");

    Cp210xTtyLibrary lib(tree.sys(), tree.dev());
    EXPECT_EQ(lib.findBridges(), (std::vector<fs::path>{tree.dev() / "ttyUSB2", tree.dev() / "ttyUSB10"}));
    std::uint32_t count = 0;
    EXPECT_EQ(lib.SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 2u);
}

TEST(Cp210xEnumeration, NoBridgeIsDeviceNotFound)
{
    FakeSysfs tree;
    tree.addTty("ttyUSB0", "0403");
    Cp210xTtyLibrary lib(tree.sys(), tree.dev());
    std::uint32_t count = 7;
    EXPECT_EQ(lib.SI_GetNumDevices(&count), SI_DEVICE_NOT_FOUND);
    EXPECT_EQ(count, 0u);
    SI_HANDLE handle = nullptr;
    EXPECT_EQ(lib.SI_Open(0, &handle), SI_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, nullptr);
}

TEST(Cp210xEnumeration, MissingSysfsIsDeviceNotFound)
{
    Cp210xTtyLibrary lib("/nonexistent/sys", "/nonexistent/dev");
    std::uint32_t count = 0;
    EXPECT_EQ(lib.SI_GetNumDevices(&count), SI_DEVICE_NOT_FOUND);
}

class Cp210xOnPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        tree.addTty("ttyUSB0", "10c4");
        tree.linkDevice("ttyUSB0", pty.slavePath());
    }
    FakeSysfs tree;
    PtyPair pty;
    Cp210xTtyLibrary lib{tree.sys(), tree.dev()};
};

TEST_F(Cp210xOnPtyTest, ReadsWritesFlushesAndCloses)
{
    SI_HANDLE handle = nullptr;
    ASSERT_EQ(lib.SI_Open(0, &handle), SI_SUCCESS);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(lib.SI_SetBaudRate(handle, 9600), SI_SUCCESS);
    EXPECT_EQ(lib.SI_SetBaudRate(handle, 12345), SI_INVALID_BAUDRATE);
    EXPECT_EQ(lib.SI_SetTimeouts(500, 500), SI_SUCCESS);

    std::uint8_t byte = 0;
    std::uint32_t got = 9;
    EXPECT_EQ(lib.SI_Read(handle, &byte, 1, &got, nullptr), SI_RX_QUEUE_NOT_READY);
    EXPECT_EQ(got, 0u);

    pty.meterSends({0x3A, 0x0D});
    for (int i = 0; i < 200 && lib.SI_Read(handle, &byte, 1, &got, nullptr) != SI_SUCCESS; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(byte, 0x3A);
    EXPECT_EQ(got, 1u);

    const std::uint8_t key[] = {'A', 'A'};
    std::uint32_t written = 0;
    EXPECT_EQ(lib.SI_Write(handle, key, 2, &written, nullptr), SI_SUCCESS);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(pty.meterReceives(2), (std::vector<std::uint8_t>{'A', 'A'}));

    EXPECT_EQ(lib.SI_FlushBuffers(handle, 1, 1), SI_SUCCESS);
    EXPECT_EQ(lib.SI_Read(handle, &byte, 1, &got, nullptr), SI_RX_QUEUE_NOT_READY);

    EXPECT_EQ(lib.SI_Close(handle), SI_SUCCESS);
    EXPECT_EQ(lib.SI_Close(handle), SI_INVALID_HANDLE);
    EXPECT_EQ(lib.SI_Read(handle, &byte, 1, &got, nullptr), SI_INVALID_HANDLE);
}

TEST_F(Cp210xOnPtyTest, OpenSetsTheBridgeLineTo9600Raw8N1)
{
    SI_HANDLE handle = nullptr;
    ASSERT_EQ(lib.SI_Open(0, &handle), SI_SUCCESS);
    // Look at the line through a second descriptor of the same tty.
    // A pty keeps no exclusive flag (the bridge is held by an flock), so any user can
    // look at the line through a second descriptor of the same tty.
    const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    termios tio{};
    // First from a line that is not the bridge's, so the open must have set it.
    ASSERT_EQ(lib.SI_Close(handle), SI_SUCCESS);
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    cfsetospeed(&tio, B1200);
    cfsetispeed(&tio, B1200);
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    tio.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &tio), 0);
    ASSERT_EQ(lib.SI_Open(0, &handle), SI_SUCCESS);

    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));
    ::close(fd);
    EXPECT_EQ(lib.SI_Close(handle), SI_SUCCESS);
}

TEST_F(Cp210xOnPtyTest, BridgeHeldByAnotherProgramDoesNotOpen)
{
    SI_HANDLE first = nullptr;
    ASSERT_EQ(lib.SI_Open(0, &first), SI_SUCCESS);
    Cp210xTtyLibrary other(tree.sys(), tree.dev());
    SI_HANDLE second = nullptr;
    EXPECT_NE(other.SI_Open(0, &second), SI_SUCCESS);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(lib.SI_Close(first), SI_SUCCESS);
    EXPECT_EQ(other.SI_Open(0, &second), SI_SUCCESS);
    EXPECT_EQ(other.SI_Close(second), SI_SUCCESS);
}

TEST_F(Cp210xOnPtyTest, EmptyHandleFailsAndDoesNothing)
{
    std::uint8_t byte = 0x55;
    std::uint32_t got = 0;
    EXPECT_NE(lib.SI_Read(nullptr, &byte, 1, &got, nullptr), SI_SUCCESS);
    EXPECT_EQ(byte, 0x55);
    EXPECT_NE(lib.SI_FlushBuffers(nullptr, 1, 1), SI_SUCCESS);
    EXPECT_NE(lib.SI_Close(nullptr), SI_SUCCESS);
    const std::uint8_t key[] = {'A', 'A'};
    EXPECT_NE(lib.SI_Write(nullptr, key, 2, &got, nullptr), SI_SUCCESS);
    EXPECT_TRUE(pty.meterReceives(0, 0).empty());
}

TEST_F(Cp210xOnPtyTest, UsbTickOnASilentMeterNeverTakesLong)
{
    UsbLink link(lib);
    int resets = 0;
    link.setFrameSink(UsbFrameSink{[](std::uint8_t) { return false; }, [&] { ++resets; }});
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    auto worst = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        link.Timer1Timer();
        worst = std::max(worst, std::chrono::steady_clock::now() - start);
    }
    EXPECT_EQ(resets, 200);
    RecordProperty("worst_silent_usb_tick_us",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(worst).count()));
    EXPECT_EQ(link.UsbStatus(), SI_SUCCESS); // the flush after each failed read
    EXPECT_LT(worst, std::chrono::milliseconds(20));
    link.Close();
}

TEST_F(Cp210xOnPtyTest, UsbLinkReadsTheMetersBytesOnePerTick)
{
    UsbLink link(lib);
    std::vector<std::uint8_t> seen;
    link.setFrameSink(UsbFrameSink{[&](std::uint8_t b) {
                                       seen.push_back(b);
                                       return false;
                                   },
                                   [] {}});
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());
    pty.meterSends({0x0A, 0x01, 0x02});
    // A failed read flushes the bridge: let the pty deliver the bytes first.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (int i = 0; i < 500 && seen.size() < 3; ++i) {
        link.Timer1Timer();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(seen, (std::vector<std::uint8_t>{0x0A, 0x01, 0x02}));
    link.Close();
}

} // namespace
} // namespace varnex
