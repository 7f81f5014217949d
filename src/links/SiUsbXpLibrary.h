#pragma once
// SiUsbLibrary over the bridge maker's USBXpress library SiUSBXp.dll, loaded by name when
// the link is made (LoadLibraryA, then GetProcAddress for each SI_* call the link uses).
// Without the DLL every call fails with a status and UnavailableMessage() tells the user why.
//
// Mended against the DLL's own behaviour: its read waits up to the read time-out for a byte,
// which would stall the UI thread 500 ms per tick, so the time-outs handed to the DLL are
// capped; and a read that returns no byte never counts as a success (no stale byte).
#include "links/SiUsbLibrary.h"

#include <string>

namespace varnex {

inline constexpr const char* kSiUsbXpDllName = "SiUSBXp.dll";

class SiUsbXpLibrary : public SiUsbLibrary {
public:
    explicit SiUsbXpLibrary(std::string dllName = kSiUsbXpDllName);
    ~SiUsbXpLibrary() override;

    SiUsbXpLibrary(const SiUsbXpLibrary&) = delete;
    SiUsbXpLibrary& operator=(const SiUsbXpLibrary&) = delete;

    bool Loaded() const { return dll_ != nullptr; }
    std::string UnavailableMessage() const override { return unavailable_; }

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

    // What the link asked for; the DLL gets at most the caps below.
    std::uint32_t ReadTimeoutMs() const { return readTimeoutMs_; }
    std::uint32_t WriteTimeoutMs() const { return writeTimeoutMs_; }
    static constexpr std::uint32_t kMaxReadWaitMs = 1;
    static constexpr std::uint32_t kMaxWriteWaitMs = 20;

private:
    struct Calls;
    void* dll_ = nullptr;
    Calls* calls_ = nullptr;
    std::string unavailable_;
    std::uint32_t readTimeoutMs_ = 0;
    std::uint32_t writeTimeoutMs_ = 0;
};

} // namespace varnex
