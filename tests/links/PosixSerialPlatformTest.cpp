// The POSIX serial platform on real pseudo-terminals: the modem lines it asks for (seen
// through its TtyControl, since a pty has no DTR or RTS), how it holds a port for this
// program alone without leaving anything behind, and the line format it reads back.
#include "PtyPair.h"
#include "Unprivileged.h"
#include "links/ExclusiveTty.h"
#include "links/PosixLineReadback.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

namespace varnex {
namespace {

using testing::PtyPair;

// Passes every request on to the kernel and keeps a note of it.
class RecordingTtyControl : public TtyControl {
public:
    struct Request {
        unsigned long request;
        int bits;
    };
    int request(int fd, unsigned long req, int* argument) override
    {
        requests.push_back(Request{req, argument ? *argument : 0});
        return TtyControl::request(fd, req, argument);
    }
    bool asked(unsigned long req, int bits) const
    {
        for (const Request& r : requests)
            if (r.request == req && (r.bits & bits) == bits)
                return true;
        return false;
    }
    bool askedFor(unsigned long req) const
    {
        for (const Request& r : requests)
            if (r.request == req)
                return true;
        return false;
    }
    std::vector<Request> requests;
};

struct ModemLineCase {
    const char* name;
    bool enableDtr;
    TComPortHwHandshaking handshaking;
    bool dtrRaised;     // TIOCMBIS DTR (else TIOCMBIC DTR)
    bool rtsLowered;    // TIOCMBIC RTS (else no RTS request: the driver handles it)
};

std::ostream& operator<<(std::ostream& os, const ModemLineCase& c) { return os << c.name; }

class ModemLines : public ::testing::TestWithParam<ModemLineCase> {};

TEST_P(ModemLines, ConnectSetsDtrAndRtsAsTheLineFormatSays)
{
    const ModemLineCase& c = GetParam();
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    RecordingTtyControl control;
    auto owned = std::make_unique<PosixSerialPlatform>();
    owned->setTtyControl(control);
    owned->names().setOverride(pnCOM1, pty.slavePath());
    TCommPortDriver driver(std::move(owned));
    driver.SetComPort(pnCOM1);
    driver.SetEnableDTROnOpen(c.enableDtr);
    driver.SetComPortHwHandshaking(c.handshaking);
    ASSERT_TRUE(driver.Connect()) << driver.LastError();

    EXPECT_EQ(control.asked(TIOCMBIS, TIOCM_DTR), c.dtrRaised);
    EXPECT_EQ(control.asked(TIOCMBIC, TIOCM_DTR), !c.dtrRaised);
    EXPECT_EQ(control.asked(TIOCMBIC, TIOCM_RTS), c.rtsLowered);
    EXPECT_FALSE(control.asked(TIOCMBIS, TIOCM_RTS)) << "RTS is never forced high";
}

INSTANTIATE_TEST_SUITE_P(
    Posix, ModemLines,
    ::testing::Values(ModemLineCase{"MetersLineDtrRaisedRtsLow", true, hhNONE, true, true},
                      ModemLineCase{"DtrOffHoldsDtrLow", false, hhNONE, false, true},
                      ModemLineCase{"RtsCtsLeavesRtsToTheDriver", true, hhRTSCTS, true, false}),
    [](const ::testing::TestParamInfo<ModemLineCase>& info) { return std::string(info.param.name); });

int exclusiveFlag(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    int flag = -1;
    if (ioctl(fd, TIOCGEXCL, &flag) != 0)
        flag = -1;
    ::close(fd);
    return flag;
}

TEST(PosixSerialExclusivity, SecondOpenIsRefusedAsInUseWhileHeld)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialPlatform first;
    ASSERT_TRUE(first.open(pty.slavePath())) << first.lastError();
    PosixSerialPlatform second;
    EXPECT_FALSE(second.open(pty.slavePath()));
    EXPECT_EQ(second.lastErrorNumber(), EBUSY);
    EXPECT_NE(second.lastError().find("in use"), std::string::npos) << second.lastError();
    first.close();
    EXPECT_TRUE(second.open(pty.slavePath())) << second.lastError();
}

TEST(PosixSerialExclusivity, PseudoTerminalIsNotLeftInExclusiveMode)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    RecordingTtyControl control;
    PosixSerialPlatform platform;
    platform.setTtyControl(control);
    ASSERT_TRUE(platform.open(pty.slavePath())) << platform.lastError();
    EXPECT_FALSE(control.askedFor(TIOCEXCL));
    EXPECT_EQ(exclusiveFlag(pty.slavePath()), 0);
    platform.close();
    EXPECT_FALSE(control.askedFor(TIOCNXCL));
}

TEST(PosixSerialExclusivity, HoldEndsWithAKilledProcess)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const ExclusiveTtyResult held = OpenTtyExclusively(pty.slavePath());
        const char answer = held.fd >= 0 ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        for (;;)
            pause();
    }
    ::close(ready[1]);
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(answer, 'y');

    PosixSerialPlatform meanwhile;
    EXPECT_FALSE(meanwhile.open(pty.slavePath())) << "held by the child";

    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(exclusiveFlag(pty.slavePath()), 0);
    // What a normal user sees (root is let through an exclusive tty): no EBUSY.
    ASSERT_EQ(chmod(pty.slavePath().c_str(), 0666), 0);
    const std::string userOpen = testing::RunUnprivileged([&] {
        const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const std::string result = fd >= 0 ? "opened" : std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return result;
    });
    EXPECT_EQ(userOpen, "opened");
    PosixSerialPlatform after;
    EXPECT_TRUE(after.open(pty.slavePath())) << after.lastError();
}

struct MajorCase {
    const char* name;
    unsigned int major;
    bool outlives;
};

std::ostream& operator<<(std::ostream& os, const MajorCase& c) { return os << c.name; }

class ExclusiveFlagLifetime : public ::testing::TestWithParam<MajorCase> {};

TEST_P(ExclusiveFlagLifetime, OnlyPseudoTerminalsKeepItAfterTheLastClose)
{
    EXPECT_EQ(ExclusiveFlagOutlivesLastClose(GetParam().major), GetParam().outlives);
}

INSTANTIATE_TEST_SUITE_P(
    Majors, ExclusiveFlagLifetime,
    ::testing::Values(MajorCase{"Unix98PtyFirst", 136, true}, MajorCase{"Unix98PtyLast", 143, true},
                      MajorCase{"BsdPty", 3, true}, MajorCase{"OnBoardTtyS", 4, false},
                      MajorCase{"UsbSerialTtyUSB", 188, false}, MajorCase{"CdcAcmTtyACM", 166, false},
                      MajorCase{"AfterPtyRange", 144, false}),
    [](const ::testing::TestParamInfo<MajorCase>& info) { return std::string(info.param.name); });

TEST(PosixSerialOpen, RegularFileIsNotASerialDevice)
{
    char name[] = "/tmp/varnex-not-a-tty-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    PosixSerialPlatform platform;
    EXPECT_FALSE(platform.open(name));
    EXPECT_EQ(platform.lastErrorNumber(), ENOTTY);
    ::unlink(name);
}

TEST(PosixSerialOpen, MissingDeviceSaysNoSuchFile)
{
    PosixSerialPlatform platform;
    EXPECT_FALSE(platform.open("/nonexistent/ttyVarnex"));
    EXPECT_EQ(platform.lastErrorNumber(), ENOENT);
    EXPECT_NE(platform.lastError().find("/nonexistent/ttyVarnex"), std::string::npos);
}

TEST(PosixLineReadback, PseudoTerminalKeepsEightDataBits)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    auto owned = std::make_unique<PosixSerialPlatform>();
    owned->names().setOverride(pnCOM1, pty.slavePath());
    TCommPortDriver driver(std::move(owned));
    driver.SetComPort(pnCOM1);
    driver.SetComPortDataBits(db7BITS);
    driver.SetComPortStopBits(sb2BITS);
    ASSERT_TRUE(driver.Connect());
    const auto inForce = driver.LineSettingsInForce();
    ASSERT_TRUE(inForce.has_value());
    EXPECT_EQ(driver.LineSettings().dataBits, 7);
    EXPECT_EQ(inForce->dataBits, 8);
    EXPECT_EQ(inForce->stopBits, sb2BITS);
    EXPECT_EQ(inForce->parity, ptNONE);
    EXPECT_EQ(inForce->baudRate, 9600u);
}

struct ReadbackCase {
    const char* name;
    tcflag_t cflag;
    TComPortStopBits asked;
    int dataBits;
    TComPortStopBits stopBits;
    TComPortParity parity;
};

std::ostream& operator<<(std::ostream& os, const ReadbackCase& c) { return os << c.name; }

class TermiosReadback : public ::testing::TestWithParam<ReadbackCase> {};

TEST_P(TermiosReadback, FramingComesFromTheFlags)
{
    const ReadbackCase& c = GetParam();
    termios tio{};
    tio.c_cflag = c.cflag;
    cfsetospeed(&tio, B19200);
    SerialLineSettings asked;
    asked.stopBits = c.asked;
    const SerialLineSettings got = LineSettingsFromTermios(tio, asked);
    EXPECT_EQ(got.dataBits, c.dataBits);
    EXPECT_EQ(got.stopBits, c.stopBits);
    EXPECT_EQ(got.parity, c.parity);
    EXPECT_EQ(got.baudRate, 19200u);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, TermiosReadback,
    ::testing::Values(ReadbackCase{"Cs5", CS5, sb1BITS, 5, sb1BITS, ptNONE},
                      ReadbackCase{"Cs6Odd", CS6 | PARENB | PARODD, sb1BITS, 6, sb1BITS, ptODD},
                      ReadbackCase{"Cs7TwoStop", CS7 | CSTOPB, sb2BITS, 7, sb2BITS, ptNONE},
                      ReadbackCase{"Cs8Even", CS8 | PARENB, sb1BITS, 8, sb1BITS, ptEVEN},
                      ReadbackCase{"OneAndAHalfAskedStaysSo", CS8 | CSTOPB, sb1HALFBITS, 8, sb1HALFBITS, ptNONE},
                      ReadbackCase{"TwoStopAskedOneKept", CS8, sb2BITS, 8, sb1BITS, ptNONE},
                      ReadbackCase{"Mark", CS8 | PARENB | PARODD | CMSPAR, sb1BITS, 8, sb1BITS, ptMARK},
                      ReadbackCase{"Space", CS8 | PARENB | CMSPAR, sb1BITS, 8, sb1BITS, ptSPACE}),
    [](const ::testing::TestParamInfo<ReadbackCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
