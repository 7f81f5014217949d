// The words the user gets about a link: hints by cause, the line format, what a device
// kept of the format asked for.
#include "links/LinkDiagnostics.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace varnex {
namespace {

struct HintCase {
    const char* name;
    int error;
    const char* hintPart;  // "" : no hint
};
std::ostream& operator<<(std::ostream& os, const HintCase& c) { return os << c.name; }

class OpenFailureHints : public ::testing::TestWithParam<HintCase> {};

TEST_P(OpenFailureHints, EachCauseGetsWhatTheUserCanDo)
{
    const std::string hint = OpenFailureHint(GetParam().error);
    if (std::string(GetParam().hintPart).empty())
        EXPECT_EQ(hint, "");
    else
        EXPECT_NE(hint.find(GetParam().hintPart), std::string::npos) << hint;
}

INSTANTIATE_TEST_SUITE_P(
    Errno, OpenFailureHints,
    ::testing::Values(HintCase{"PermissionDenied", EACCES, "add your user to the dialout group and log in again"},
                      HintCase{"NotPermitted", EPERM, "dialout group"},
                      HintCase{"NoSuchFile", ENOENT, "use /dev/serial/by-id/… for a USB adapter"},
                      HintCase{"NoSuchDevice", ENODEV, "/dev/serial/by-id/"},
                      HintCase{"InUse", EBUSY, "close the other program that uses it"},
                      HintCase{"NotATty", ENOTTY, "--com1 PATH"},
                      HintCase{"OutOfMemory", ENOMEM, ""}),
    [](const ::testing::TestParamInfo<HintCase>& info) { return std::string(info.param.name); });

SerialLineSettings line(int dataBits, TComPortParity parity, TComPortStopBits stop, std::uint32_t baud = 9600)
{
    SerialLineSettings s;
    s.dataBits = dataBits;
    s.parity = parity;
    s.stopBits = stop;
    s.baudRate = baud;
    return s;
}

TEST(LineFormatText, NamesBitsParityAndStopBits)
{
    EXPECT_EQ(FramingText(line(7, ptNONE, sb2BITS)), "7N2");
    EXPECT_EQ(FramingText(line(8, ptEVEN, sb1BITS)), "8E1");
    EXPECT_EQ(FramingText(line(5, ptODD, sb1HALFBITS)), "5O1.5");
    EXPECT_EQ(FramingText(line(8, ptMARK, sb1BITS)), "8M1");
    EXPECT_EQ(FramingText(line(8, ptSPACE, sb1BITS)), "8S1");
}

TEST(LineFormatText, KeptDataBitsAreToldWithWhatThatMeansForKeys)
{
    const std::string note = LineFormatNote(line(7, ptNONE, sb2BITS), line(8, ptNONE, sb2BITS));
    EXPECT_NE(note.find("The device keeps 8 data bits (7 asked for)"), std::string::npos) << note;
    EXPECT_NE(note.find("may reach a 7N2 meter with framing errors"), std::string::npos) << note;
}

TEST(LineFormatText, OtherDifferencesNameBothFormats)
{
    EXPECT_EQ(LineFormatNote(line(8, ptNONE, sb1BITS), line(8, ptNONE, sb1BITS, 19200)),
              "The device runs 19200 baud 8N1 (9600 baud 8N1 asked for).");
    EXPECT_EQ(LineFormatNote(line(7, ptNONE, sb2BITS), line(8, ptEVEN, sb1BITS)),
              "The device runs 9600 baud 8E1 (9600 baud 7N2 asked for).");
}

TEST(LineFormatText, TakenFormatNeedsNoNote)
{
    EXPECT_EQ(LineFormatNote(line(7, ptNONE, sb2BITS), line(7, ptNONE, sb2BITS)), "");
}

TEST(LinkLossText, NamesTheLinkAndTheCause)
{
    const LinkReport usb = UsbLostReport("/dev/ttyUSB0 hung up (USB bridge unplugged)");
    EXPECT_EQ(usb.tooltip, "The USB bridge was lost: /dev/ttyUSB0 hung up (USB bridge unplugged)");
    EXPECT_EQ(usb.errorLine, usb.tooltip);
}

} // namespace
} // namespace varnex
