// A serial device the user may not open: both links name the cause and give the hint a
// Linux user needs. The open runs in a child process as a user without the right (as
// "nobody" when the tests run as root, whom no file mode stops).
#include "FakeSysfs.h"
#include "PtyPair.h"
#include "Unprivileged.h"
#include "links/Cp210xTtyLibrary.h"
#include "links/LinkDiagnostics.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace varnex {
namespace {

using testing::FakeSysfs;
using testing::PtyPair;
using testing::RunUnprivileged;

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
