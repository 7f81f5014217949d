// The serial component's line format, time-outs and purges as the Windows comm driver gets them.
#include "links/Win32CommSettings.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace varnex {
namespace {

struct DcbCase {
    const char* name;
    SerialLineSettings settings;
    DWORD rtsControl;
    DWORD dtrControl;
    bool ctsFlow;
    bool xonXoff;
};

void PrintTo(const DcbCase& c, std::ostream* out) { *out << c.name; }

SerialLineSettings MeterLine()
{
    SerialLineSettings s;
    s.baudRate = 9600;
    s.dataBits = 7;
    s.stopBits = sb2BITS;
    s.parity = ptNONE;
    s.dtrOn = true;
    s.rtsOn = false;
    s.xonLimit = 512;
    s.xoffLimit = 1;
    return s;
}

DcbCase With(const char* name, SerialLineSettings s, DWORD rts, DWORD dtr, bool cts, bool xon)
{
    return DcbCase{name, s, rts, dtr, cts, xon};
}

std::vector<DcbCase> Cases()
{
    std::vector<DcbCase> cases;
    cases.push_back(With("MetersLine", MeterLine(), RTS_CONTROL_DISABLE, DTR_CONTROL_ENABLE, false, false));
    SerialLineSettings rtsCts = MeterLine();
    rtsCts.ctsOutputFlow = rtsCts.rtsHandshake = true;
    cases.push_back(With("RtsCtsHandshake", rtsCts, RTS_CONTROL_HANDSHAKE, DTR_CONTROL_ENABLE, true, false));
    SerialLineSettings xon = MeterLine();
    xon.xonXoffInput = xon.xonXoffOutput = true;
    cases.push_back(With("XonXoff", xon, RTS_CONTROL_DISABLE, DTR_CONTROL_ENABLE, false, true));
    SerialLineSettings noDtr = MeterLine();
    noDtr.dtrOn = false;
    cases.push_back(With("DtrHeldLow", noDtr, RTS_CONTROL_DISABLE, DTR_CONTROL_DISABLE, false, false));
    SerialLineSettings rtsUp = MeterLine();
    rtsUp.rtsOn = true;
    cases.push_back(With("RtsRaised", rtsUp, RTS_CONTROL_ENABLE, DTR_CONTROL_ENABLE, false, false));
    SerialLineSettings eightE1 = MeterLine();
    eightE1.baudRate = 115200;
    eightE1.dataBits = 8;
    eightE1.stopBits = sb1BITS;
    eightE1.parity = ptEVEN;
    cases.push_back(With("EightEvenOne", eightE1, RTS_CONTROL_DISABLE, DTR_CONTROL_ENABLE, false, false));
    return cases;
}

class BuildDcbTest : public ::testing::TestWithParam<DcbCase> {};

TEST_P(BuildDcbTest, FieldsFollowTheLineSettingsAndTheRestIsZero)
{
    const DcbCase& c = GetParam();
    const DCB dcb = BuildDcb(c.settings);
    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    EXPECT_EQ(dcb.BaudRate, c.settings.baudRate);
    EXPECT_EQ(dcb.ByteSize, c.settings.dataBits);
    EXPECT_EQ(dcb.Parity, static_cast<BYTE>(c.settings.parity));
    EXPECT_EQ(dcb.StopBits, static_cast<BYTE>(c.settings.stopBits));
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fRtsControl, c.rtsControl);
    EXPECT_EQ(dcb.fDtrControl, c.dtrControl);
    EXPECT_EQ(dcb.fOutxCtsFlow != 0, c.ctsFlow);
    EXPECT_EQ(dcb.fOutX != 0, c.xonXoff);
    EXPECT_EQ(dcb.fInX != 0, c.xonXoff);
    EXPECT_EQ(dcb.XonLim, c.settings.xonLimit);
    EXPECT_EQ(dcb.XoffLim, c.settings.xoffLimit);
    // No parity check, no DSR flow or sensitivity, no error character, no null stripping,
    // no abort on error.
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 0u);
    EXPECT_EQ(dcb.XonChar, 0);
    EXPECT_EQ(dcb.XoffChar, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, BuildDcbTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<DcbCase>& info) { return std::string(info.param.name); });

TEST(Win32CommTimeoutsTest, EachTimeoutReachesItsOwnField)
{
    SerialTimeouts t;
    t.readIntervalMs = 1;
    t.readTotalMultiplierMs = 2;
    t.readTotalConstantMs = 3;
    t.writeTotalMultiplierMs = 4;
    t.writeTotalConstantMs = 5;
    const COMMTIMEOUTS c = BuildCommTimeouts(t);
    EXPECT_EQ(c.ReadIntervalTimeout, 1u);
    EXPECT_EQ(c.ReadTotalTimeoutMultiplier, 2u);
    EXPECT_EQ(c.ReadTotalTimeoutConstant, 3u);
    EXPECT_EQ(c.WriteTotalTimeoutMultiplier, 4u);
    EXPECT_EQ(c.WriteTotalTimeoutConstant, 5u);
}

TEST(Win32PurgeFlagsTest, EachSideAbortsAndClearsItsOwnQueue)
{
    EXPECT_EQ(PurgeFlags(false, false), 0u);
    EXPECT_EQ(PurgeFlags(true, false), static_cast<DWORD>(PURGE_RXABORT | PURGE_RXCLEAR));
    EXPECT_EQ(PurgeFlags(false, true), static_cast<DWORD>(PURGE_TXABORT | PURGE_TXCLEAR));
    EXPECT_EQ(PurgeFlags(true, true),
              static_cast<DWORD>(PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR));
}

TEST(Win32DevicePathTest, ComNamesGoThroughTheDeviceNamespace)
{
    EXPECT_EQ(Win32DevicePath("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(Win32DevicePath("COM4"), "\\\\.\\COM4");
    // Without the prefix Windows cannot open COM10 and above.
    EXPECT_EQ(Win32DevicePath("COM10"), "\\\\.\\COM10");
    EXPECT_EQ(Win32DevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
}

} // namespace
} // namespace varnex
