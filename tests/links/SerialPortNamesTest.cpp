#include "links/SerialPortNames.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(SerialPortNames, DefaultsAreTheFirstFourSerialTtys)
{
    const SerialPortNames names;
    EXPECT_EQ(names.devicePath(pnCOM1), "/dev/ttyS0");
    EXPECT_EQ(names.devicePath(pnCOM2), "/dev/ttyS1");
    EXPECT_EQ(names.devicePath(pnCOM3), "/dev/ttyS2");
    EXPECT_EQ(names.devicePath(pnCOM4), "/dev/ttyS3");
}

TEST(SerialPortNames, OverrideAndClear)
{
    SerialPortNames names;
    names.setOverride(pnCOM2, "/dev/ttyUSB0");
    EXPECT_EQ(names.devicePath(pnCOM2), "/dev/ttyUSB0");
    EXPECT_EQ(names.devicePath(pnCOM1), "/dev/ttyS0");
    names.clearOverride(pnCOM2);
    EXPECT_EQ(names.devicePath(pnCOM2), "/dev/ttyS1");
}

TEST(SerialPortNames, DeviceNamesToPorts)
{
    EXPECT_EQ(SerialPortNames::portFromDeviceName("COM1"), pnCOM1);
    EXPECT_EQ(SerialPortNames::portFromDeviceName("com4"), pnCOM4);
    EXPECT_FALSE(SerialPortNames::portFromDeviceName("COM5"));
    EXPECT_FALSE(SerialPortNames::portFromDeviceName("COM0"));
    EXPECT_FALSE(SerialPortNames::portFromDeviceName("/dev/ttyS0"));
    EXPECT_FALSE(SerialPortNames::portFromDeviceName("COM10"));
}

TEST(SerialPortNames, CommandLineOverridesAreTakenOut)
{
    SerialPortNames names;
    QString error;
    const QStringList rest = names.applyArguments(
        {"varnex", "--com1", "/dev/pts/7", "-platform", "offscreen", "--com3=/dev/ttyUSB1"}, &error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(rest, (QStringList{"varnex", "-platform", "offscreen"}));
    EXPECT_EQ(names.devicePath(pnCOM1), "/dev/pts/7");
    EXPECT_EQ(names.devicePath(pnCOM2), "/dev/ttyS1");
    EXPECT_EQ(names.devicePath(pnCOM3), "/dev/ttyUSB1");
}

TEST(SerialPortNames, OptionWithoutPathIsReportedAndLeftAlone)
{
    SerialPortNames names;
    QString error;
    const QStringList rest = names.applyArguments({"varnex", "--com2", "--com4="}, &error);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(rest, (QStringList{"varnex", "--com2", "--com4="}));
    EXPECT_EQ(names.devicePath(pnCOM2), "/dev/ttyS1");
    EXPECT_EQ(names.devicePath(pnCOM4), "/dev/ttyS3");
}

} // namespace
} // namespace varnex
