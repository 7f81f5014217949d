#pragma once
// SiUsbLibrary over the meter's CP210x USB-to-UART bridge as Linux exposes it: a tty
// (ttyUSBn) bound to the kernel's cp210x driver, below a USB device of vendor 0x10C4.
// Reads and writes never wait; a bridge that is unplugged while open fails every call.
#include "links/SiUsbLibrary.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace varnex {

inline constexpr const char* kCp210xVendorId = "10c4";
inline constexpr const char* kCp210xDriverName = "cp210x";

// A tty below a Silicon Labs USB device.
struct UsbBridgeCandidate {
    std::filesystem::path node;  // devRoot / ttyUSB0
    std::string driver;          // "cp210x", "cdc_acm", ... ("" when unbound)
    std::string vendorId;        // "10c4"
    std::string productId;       // "ea60" ("" when unknown)
    bool operator==(const UsbBridgeCandidate& o) const
    {
        return node == o.node && driver == o.driver && vendorId == o.vendorId && productId == o.productId;
    }
};

// "/dev/ttyUSB0 (cp210x, 10c4:ea60)".
std::string DescribeBridge(const UsbBridgeCandidate& bridge);

class Cp210xTtyLibrary : public SiUsbLibrary {
public:
    // sysfsRoot holds class/tty/<name>/device; devRoot holds the device nodes.
    explicit Cp210xTtyLibrary(std::filesystem::path sysfsRoot = "/sys", std::filesystem::path devRoot = "/dev");
    ~Cp210xTtyLibrary() override;

    Cp210xTtyLibrary(const Cp210xTtyLibrary&) = delete;
    Cp210xTtyLibrary& operator=(const Cp210xTtyLibrary&) = delete;

    // Every tty below a 10C4 USB device, sorted by tty name.
    std::vector<UsbBridgeCandidate> findCandidates() const;
    // The devices counted and opened: the candidates bound to cp210x when there are any
    // (a Silicon Labs CDC-ACM device or Zigbee stick is not the meter's bridge), else all.
    std::vector<UsbBridgeCandidate> preferredBridges() const;
    // Their device nodes.
    std::vector<std::filesystem::path> findBridges() const;

    SI_STATUS SI_GetNumDevices(std::uint32_t* numDevices) override;
    SI_STATUS SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) override;
    SI_STATUS SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) override;
    SI_STATUS SI_SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    SI_STATUS SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesReturned,
                      void* overlapped) override;
    SI_STATUS SI_Write(SI_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten, void* overlapped) override;
    SI_STATUS SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit, std::uint8_t flushReceive) override;
    SI_STATUS SI_Close(SI_HANDLE handle) override;

    std::string describeDevices() const override { return devices_; }
    std::string lastErrorText() const override { return lastError_; }

    std::uint32_t readTimeoutMs() const { return readTimeoutMs_; }
    std::uint32_t writeTimeoutMs() const { return writeTimeoutMs_; }

    // A write waits for room at most this long, whatever the write time-out says:
    // the caller is the UI thread.
    static constexpr int kMaxWriteWaitMs = 20;
    // Line rate of a freshly opened bridge, until SI_SetBaudRate.
    static constexpr std::uint32_t kDefaultBaud = 9600;

private:
    struct Device;
    Device* find(SI_HANDLE handle) const;
    // Hung up (POLLHUP/POLLERR) or its node removed or replaced: notes why.
    bool gone(Device& device);
    SI_STATUS failed(SI_STATUS status, std::string why);
    void noteDevices(const std::vector<UsbBridgeCandidate>& preferred);

    std::filesystem::path sysfsRoot_;
    std::filesystem::path devRoot_;
    std::set<Device*> open_;
    std::uint32_t readTimeoutMs_ = 0;
    std::uint32_t writeTimeoutMs_ = 0;
    std::string devices_;
    std::string lastError_;
};

} // namespace varnex
