#pragma once
// SiUsbLibrary over the meter's CP210x USB-to-UART bridge as Linux exposes it: a tty
// (ttyUSBn) whose USB device has vendor id 0x10C4. Reads and writes never wait.
#include "links/SiUsbLibrary.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace varnex {

inline constexpr const char* kCp210xVendorId = "10c4";

class Cp210xTtyLibrary : public SiUsbLibrary {
public:
    // sysfsRoot holds class/tty/<name>/device; devRoot holds the device nodes.
    explicit Cp210xTtyLibrary(std::filesystem::path sysfsRoot = "/sys", std::filesystem::path devRoot = "/dev");
    ~Cp210xTtyLibrary() override;

    Cp210xTtyLibrary(const Cp210xTtyLibrary&) = delete;
    Cp210xTtyLibrary& operator=(const Cp210xTtyLibrary&) = delete;

    // Device node paths of the attached bridges, sorted by tty name.
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

    std::filesystem::path sysfsRoot_;
    std::filesystem::path devRoot_;
    std::set<Device*> open_;
    std::uint32_t readTimeoutMs_ = 0;
    std::uint32_t writeTimeoutMs_ = 0;
};

} // namespace varnex
