// termios flags built for a line format.
#include "FakeSerialPlatform.h"
#include "links/ConnectionWiring.h"
#include "links/PosixLineSettings.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

termios cookedTerminal()
{
    termios tio{};
    tio.c_iflag = ICRNL | IXON | BRKINT | ISTRIP | INPCK;
    tio.c_oflag = OPOST | ONLCR;
    tio.c_lflag = ECHO | ICANON | ISIG | IEXTEN;
    tio.c_cflag = CS8 | PARENB | HUPCL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 5;
    return tio;
}

SerialLineSettings meterLine()
{
    SerialLineSettings s;
    s.baudRate = 9600;
    s.dataBits = 7;
    s.stopBits = sb2BITS;
    s.parity = ptNONE;
    s.dtrOn = true;
    return s;
}

TEST(PosixLineSettings, MeterFormatIsRaw9600Cs7TwoStopBitsNoFlowControl)
{
    const PosixLineRequest r = BuildPosixLineRequest(cookedTerminal(), meterLine());
    EXPECT_EQ(cfgetospeed(&r.tio), B9600);
    EXPECT_EQ(cfgetispeed(&r.tio), B9600);
    EXPECT_EQ(r.tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(r.tio.c_cflag & CSTOPB);
    EXPECT_FALSE(r.tio.c_cflag & PARENB);
    EXPECT_FALSE(r.tio.c_cflag & CRTSCTS);
    EXPECT_TRUE(r.tio.c_cflag & CLOCAL);
    EXPECT_TRUE(r.tio.c_cflag & CREAD);
    EXPECT_FALSE(r.tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK | BRKINT));
    EXPECT_FALSE(r.tio.c_oflag & OPOST);
    EXPECT_FALSE(r.tio.c_lflag & (ECHO | ICANON | ISIG | IEXTEN));
    EXPECT_EQ(r.tio.c_cc[VMIN], 0);
    EXPECT_EQ(r.tio.c_cc[VTIME], 0);
    EXPECT_TRUE(r.raiseDtr);
    EXPECT_TRUE(r.lowerRts);
    EXPECT_FALSE(r.customBaud);
}

TEST(PosixLineSettings, Comm2AsksTheTtyFor9600Cs7TwoStopBitsDtrUpRtsDown)
{
    testing::FakeSerialPlatform::Record rec;
    TCommPortDriver comm2(std::make_unique<testing::FakeSerialPlatform>(rec));
    ApplyComm2Defaults(comm2);
    const PosixLineRequest r = BuildPosixLineRequest(cookedTerminal(), comm2.LineSettings());
    EXPECT_EQ(cfgetospeed(&r.tio), B9600);
    EXPECT_EQ(r.tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(r.tio.c_cflag & CSTOPB);
    EXPECT_FALSE(r.tio.c_cflag & (PARENB | CRTSCTS));
    EXPECT_FALSE(r.tio.c_iflag & (IXON | IXOFF));
    EXPECT_TRUE(r.raiseDtr);
    EXPECT_TRUE(r.lowerRts);
}

struct ParityRow {
    TComPortParity parity;
    tcflag_t set;
    tcflag_t clear;
};

TEST(PosixLineSettings, ParityFlags)
{
    const ParityRow rows[] = {
        {ptNONE, 0, PARENB | PARODD | CMSPAR},
        {ptODD, PARENB | PARODD, CMSPAR},
        {ptEVEN, PARENB, PARODD | CMSPAR},
        {ptMARK, PARENB | PARODD | CMSPAR, 0},
        {ptSPACE, PARENB | CMSPAR, PARODD},
    };
    for (const auto& row : rows) {
        SerialLineSettings s = meterLine();
        s.parity = row.parity;
        const tcflag_t c = BuildPosixLineRequest(cookedTerminal(), s).tio.c_cflag;
        EXPECT_EQ(c & row.set, row.set) << row.parity;
        EXPECT_EQ(c & row.clear, 0u) << row.parity;
        // Parity is generated, not checked on input.
        EXPECT_FALSE(BuildPosixLineRequest(cookedTerminal(), s).tio.c_iflag & INPCK);
    }
}

TEST(PosixLineSettings, CharacterSizesAndStopBits)
{
    const std::pair<int, tcflag_t> sizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
    for (const auto& [bits, flag] : sizes) {
        SerialLineSettings s = meterLine();
        s.dataBits = bits;
        EXPECT_EQ(BuildPosixLineRequest(cookedTerminal(), s).tio.c_cflag & CSIZE, flag) << bits;
    }
    SerialLineSettings s = meterLine();
    s.stopBits = sb1BITS;
    EXPECT_FALSE(BuildPosixLineRequest(cookedTerminal(), s).tio.c_cflag & CSTOPB);
    s.stopBits = sb1HALFBITS; // no 1.5 on POSIX: two
    EXPECT_TRUE(BuildPosixLineRequest(cookedTerminal(), s).tio.c_cflag & CSTOPB);
}

TEST(PosixLineSettings, Handshaking)
{
    SerialLineSettings s = meterLine();
    s.ctsOutputFlow = s.rtsHandshake = true;
    PosixLineRequest r = BuildPosixLineRequest(cookedTerminal(), s);
    EXPECT_TRUE(r.tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(r.lowerRts); // the driver owns RTS then

    s = meterLine();
    s.xonXoffInput = s.xonXoffOutput = true;
    r = BuildPosixLineRequest(cookedTerminal(), s);
    EXPECT_EQ(r.tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(r.tio.c_cc[VSTART], 0x11);
    EXPECT_EQ(r.tio.c_cc[VSTOP], 0x13);

    s = meterLine();
    s.dtrOn = false;
    EXPECT_FALSE(BuildPosixLineRequest(cookedTerminal(), s).raiseDtr);
}

TEST(PosixLineSettings, RatesWithoutAConstantGoThroughTheArbitraryRateCall)
{
    for (std::uint32_t rate : {14400u, 56000u}) {
        SerialLineSettings s = meterLine();
        s.baudRate = rate;
        const PosixLineRequest r = BuildPosixLineRequest(cookedTerminal(), s);
        ASSERT_TRUE(r.customBaud) << rate;
        EXPECT_EQ(*r.customBaud, rate);
    }
    for (std::uint32_t rate : {110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 19200u, 38400u, 57600u, 115200u}) {
        SerialLineSettings s = meterLine();
        s.baudRate = rate;
        EXPECT_FALSE(BuildPosixLineRequest(cookedTerminal(), s).customBaud) << rate;
        EXPECT_TRUE(StandardSpeed(rate)) << rate;
    }
}

} // namespace
} // namespace varnex
