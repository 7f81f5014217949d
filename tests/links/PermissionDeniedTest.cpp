// A serial device the user may not open: both links name the cause and give the hint a
// Linux user needs. The open runs in a child process as a user without the right (as
// "nobody" when the tests run as root, whom no file mode stops).
#include "FakeSysfs.h"
#include "PtyPair.h"
#include "links/Cp210xTtyLibrary.h"
#include "links/LinkDiagnostics.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace varnex {
namespace {

using testing::FakeSysfs;
using testing::PtyPair;

// Runs `what` in a child without the rights of the test's user and returns its text.
std::string RunUnprivileged(const std::function<std::string()>& what)
{
    int out[2];
    if (pipe(out) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        ::close(out[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        const std::string text = what();
        (void)!::write(out[1], text.data(), text.size());
        _exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(n));
    ::close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child failed";
    return text;
}

TEST(PermissionDenied, ComPortSaysSoWithTheDialoutHint)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_EQ(chmod(pty.slavePath().c_str(), 0), 0);
    const std::string report = RunUnprivileged([&] {
        auto owned = std::make_unique<PosixSerialPlatform>();
        owned->names().setOverride(pnCOM1, pty.slavePath());
        TCommPortDriver driver(std::move(owned));
        driver.SetComPort(pnCOM1);
        const bool connected = driver.Connect();
        return std::to_string(driver.LastErrorNumber()) + "|" + SerialConnectReport(driver, connected).errorLine;
    });
    EXPECT_EQ(report, std::to_string(EACCES) + "|COM1 could not be opened: " + pty.slavePath() +
                          ": Permission denied; add your user to the dialout group and log in again");
}

TEST(PermissionDenied, UsbBridgeFailsTheOpenAndTellsTheCauseAndTheHint)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    FakeSysfs tree;
    tree.addTty("ttyUSB0", "10c4");
    tree.linkDevice("ttyUSB0", pty.slavePath());
    ASSERT_EQ(chmod(pty.slavePath().c_str(), 0), 0);
    const std::string report = RunUnprivileged([&] {
        Cp210xTtyLibrary lib(tree.sys(), tree.dev());
        SI_HANDLE handle = nullptr;
        const SI_STATUS status = lib.SI_Open(0, &handle);
        return std::to_string(status) + "|" + lib.lastErrorText();
    });
    EXPECT_EQ(report, std::to_string(SI_DEVICE_IO_FAILED) + "|" + (tree.dev() / "ttyUSB0").string() +
                          ": Permission denied\nHint: add your user to the dialout group and log in again");
}

} // namespace
} // namespace varnex
