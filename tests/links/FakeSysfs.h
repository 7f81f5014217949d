#pragma once
// A fake /sys and /dev for the CP210x bridge's enumeration: ttys below USB devices with
// a vendor id and a bound driver, device nodes that are symlinks (to a pty, say).
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace varnex::testing {

class FakeSysfs {
public:
    FakeSysfs()
    {
        namespace fs = std::filesystem;
        static std::atomic<int> serial{0};
        root_ = fs::temp_directory_path() /
                ("varnex-sysfs-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        fs::create_directories(root_ / "sys" / "class" / "tty");
        fs::create_directories(root_ / "dev");
    }
    ~FakeSysfs()
    {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    std::filesystem::path sys() const { return root_ / "sys"; }
    std::filesystem::path dev() const { return root_ / "dev"; }

    // A tty whose device sits below a USB device with the given vendor id (empty: no
    // USB device at all, like an on-board port), its own device bound to `driver`
    // (empty: unbound).
    void addTty(const std::string& name, const std::string& vendor, const std::string& driver = "cp210x",
                const std::string& product = "ea60")
    {
        namespace fs = std::filesystem;
        const fs::path usbDevice = sys() / "devices" / "pci0000:00" / "usb1" / ("1-" + name);
        const fs::path port = usbDevice / ("1-" + name + ":1.0") / name;
        fs::create_directories(port);
        if (!vendor.empty()) {
            std::ofstream(usbDevice / "idVendor") << vendor << "\n";
            std::ofstream(usbDevice / "idProduct") << product << "\n";
        }
        if (!driver.empty()) {
            const fs::path driverDir = sys() / "bus" / "usb-serial" / "drivers" / driver;
            fs::create_directories(driverDir);
            fs::create_directory_symlink(driverDir, port / "driver");
        }
        const fs::path classDir = sys() / "class" / "tty" / name;
        fs::create_directories(classDir);
        fs::create_directory_symlink(port, classDir / "device");
    }
    void addVirtualTty(const std::string& name) { std::filesystem::create_directories(sys() / "class" / "tty" / name); }
    void linkDevice(const std::string& name, const std::string& target)
    {
        std::filesystem::create_symlink(target, dev() / name);
    }
    void removeDevice(const std::string& name) { std::filesystem::remove(dev() / name); }

private:
    std::filesystem::path root_;
};

} // namespace varnex::testing
