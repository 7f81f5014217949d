// What an idle poll costs on the UI thread now that each empty read also asks whether the
// device is still there (poll() for a hang-up, stat() of the node): the serial poll tick
// (every 50 ms) and the USB tick (every 10 ms), on a silent pseudo-terminal.
#include "links/Cp210xTtyLibrary.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct SilentPty {
    SilentPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = ptsname(master);
    }
    ~SilentPty()
    {
        if (master >= 0)
            ::close(master);
    }
    int master = -1;
    std::string slave;
};

void BM_SerialIdlePollTick(benchmark::State& state)
{
    SilentPty pty;
    auto platform = std::make_unique<varnex::PosixSerialPlatform>();
    platform->names().setOverride(varnex::pnCOM1, pty.slave);
    varnex::TCommPortDriver driver(std::move(platform));
    driver.SetComPort(varnex::pnCOM1);
    if (!driver.Connect()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    for (auto _ : state)
        driver.PollReceive();
}
BENCHMARK(BM_SerialIdlePollTick);

void BM_UsbIdleTick(benchmark::State& state)
{
    SilentPty pty;
    const fs::path root = fs::temp_directory_path() / ("varnex-bench-sysfs-" + std::to_string(::getpid()));
    const fs::path usb = root / "sys/devices/usb1/1-1";
    const fs::path port = usb / "1-1:1.0/ttyUSB0";
    fs::create_directories(port);
    fs::create_directories(root / "sys/bus/usb-serial/drivers/cp210x");
    fs::create_directory_symlink(root / "sys/bus/usb-serial/drivers/cp210x", port / "driver");
    std::ofstream(usb / "idVendor") << "10c4\n";
    fs::create_directories(root / "sys/class/tty/ttyUSB0");
    fs::create_directory_symlink(port, root / "sys/class/tty/ttyUSB0/device");
    fs::create_directories(root / "dev");
    fs::create_symlink(pty.slave, root / "dev/ttyUSB0");
    {
        varnex::Cp210xTtyLibrary library(root / "sys", root / "dev");
        varnex::UsbLink link(library);
        link.setFrameSink(varnex::UsbFrameSink{[](std::uint8_t) { return false; }, [] {}});
        link.usb_dllClick();
        if (!link.UsbOpen())
            state.SkipWithError("bridge did not open");
        else
            for (auto _ : state)
                link.Timer1Timer();
        link.Close();
    }
    fs::remove_all(root);
}
BENCHMARK(BM_UsbIdleTick);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
