#pragma once
// The serial component's line under Wine: Win32SerialPlatform on COM1, and the test playing
// the meter on COM2, which run-under-wine.sh wires to COM1 (two ptys joined by socat).
#include "links/Win32PollTimer.h"
#include "links/Win32SerialPlatform.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace varnex::testing {

// A raw end of a COM port that never waits for a read.
class RawComPort {
public:
    explicit RawComPort(const std::string& path)
    {
        handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            return;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        dcb.BaudRate = 9600;
        dcb.ByteSize = 8;
        dcb.fBinary = TRUE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        (void)SetCommState(handle_, &dcb);
        COMMTIMEOUTS noWait{MAXDWORD, 0, 0, 0, 0};
        (void)SetCommTimeouts(handle_, &noWait);
        (void)PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    }
    ~RawComPort()
    {
        if (ok())
            CloseHandle(handle_);
    }
    RawComPort(const RawComPort&) = delete;
    RawComPort& operator=(const RawComPort&) = delete;

    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

    void send(const std::vector<std::uint8_t>& bytes) const
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD n = 0;
            if (!WriteFile(handle_, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr))
                return;
            done += n;
        }
    }

    // What arrived, waiting up to timeoutMs for `count` bytes; whatever came beyond them too.
    std::vector<std::uint8_t> receive(std::size_t count, int timeoutMs) const
    {
        std::vector<std::uint8_t> got;
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
        for (;;) {
            std::uint8_t buffer[256];
            DWORD n = 0;
            if (ReadFile(handle_, buffer, sizeof buffer, &n, nullptr) && n > 0) {
                got.insert(got.end(), buffer, buffer + n);
                continue;
            }
            if (got.size() >= count || GetTickCount64() >= deadline)
                return got;
            Sleep(5);
        }
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class Win32ComLine {
public:
    static std::string Name() { return "Win32Com"; }

    bool ready(std::string& why) const
    {
        why = "COM2 (the meter's end of COM1) does not open: run the test through run-under-wine.sh";
        return meter_.ok();
    }
    std::unique_ptr<SerialPlatform> makePlatform()
    {
        auto owned = std::make_unique<Win32SerialPlatform>();
        platform_ = owned.get();
        return owned;
    }
    std::unique_ptr<PollTimer> makePollTimer() { return std::make_unique<Win32PollTimer>(); }
    void pointCom1AtMissingDevice() { platform_->setDevicePath("COM1", kMissingPort); }
    void pointCom1AtMeter() { platform_->setDevicePath("COM1", meterDevicePath()); }
    std::string lastError() const { return platform_->lastError(); }
    std::string devicePath() const { return platform_->devicePath(); }
    std::string meterDevicePath() const { return "\\\\.\\COM1"; }
    std::intptr_t nativeHandle() const { return reinterpret_cast<std::intptr_t>(platform_->handle()); }
    bool rivalCanOpenCom1() const
    {
        Win32SerialPlatform rival;
        return rival.open("COM1");
    }
    // Windows opens a COM port for one handle only; Wine lets a second CreateFileA through.
    bool systemRefusesASecondOpen(std::string& why) const
    {
        const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
        why = wine ? "Wine does not hold serial devices for one handle" : "";
        return !wine;
    }
    int bytesWaiting() const { return platform_->inQueueBytes(); }
    std::uint32_t currentBaud() const
    {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        return GetCommState(platform_->handle(), &dcb) ? dcb.BaudRate : 0;
    }
    void meterSends(const std::vector<std::uint8_t>& bytes) const { meter_.send(bytes); }
    std::vector<std::uint8_t> meterReceives(std::size_t count, int timeoutMs = 1000) const
    {
        return meter_.receive(count, timeoutMs);
    }
    void pumpEvents(int milliseconds) const { PumpMessagesFor(milliseconds); }

    static constexpr const char* kMissingPort = "\\\\.\\COM77";

private:
    RawComPort meter_{"\\\\.\\COM2"};
    Win32SerialPlatform* platform_ = nullptr;
};

} // namespace varnex::testing
