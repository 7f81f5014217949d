#include "links/Win32SerialPlatform.h"

#include "links/Win32CommSettings.h"
#include "links/Win32ErrorText.h"

namespace varnex {

Win32SerialPlatform::~Win32SerialPlatform() { close(); }

void Win32SerialPlatform::failed(const std::string& what)
{
    lastError_ = what + ": " + Win32ErrorText(GetLastError());
}

bool Win32SerialPlatform::open(const std::string& deviceName)
{
    if (isOpen())
        return true;
    const auto mapped = paths_.find(deviceName);
    path_ = mapped != paths_.end() ? mapped->second : Win32DevicePath(deviceName);
    // Exclusive (no sharing), existing device only, no overlapped I/O.
    handle_ = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (!isOpen()) {
        failed(path_);
        handle_ = INVALID_HANDLE_VALUE;
        return false;
    }
    lastError_.clear();
    return true;
}

void Win32SerialPlatform::close()
{
    if (!isOpen())
        return;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool Win32SerialPlatform::setLineSettings(const SerialLineSettings& settings)
{
    if (!isOpen())
        return false;
    DCB dcb = BuildDcb(settings);
    keptDeviceFraming_ = false;
    if (!SetCommState(handle_, &dcb)) {
        const DWORD refusal = GetLastError();
        // A device without character framing (a pseudo-terminal behind the port, or an
        // adapter without 7-bit characters) may refuse the size and parity: it keeps its
        // own, everything else still applies. 7N2 and 8N1 are both ten bits a character,
        // so the meter's stream reads the same either way.
        DCB current{};
        current.DCBlength = sizeof current;
        if (refusal == ERROR_INVALID_PARAMETER && GetCommState(handle_, &current)) {
            dcb.ByteSize = current.ByteSize;
            dcb.Parity = current.Parity;
            keptDeviceFraming_ = SetCommState(handle_, &dcb) != FALSE;
        }
        if (!keptDeviceFraming_) {
            SetLastError(refusal);
            failed("SetCommState on " + path_);
            return false;
        }
    } else {
        // Some devices take the request without a word and keep their own size anyway.
        DCB held{};
        held.DCBlength = sizeof held;
        keptDeviceFraming_ = GetCommState(handle_, &held) && held.ByteSize != dcb.ByteSize;
    }
    lastError_.clear();
    return true;
}

void Win32SerialPlatform::purge(bool receive, bool transmit)
{
    if (!isOpen() || (!receive && !transmit))
        return;
    (void)PurgeComm(handle_, PurgeFlags(receive, transmit));
}

void Win32SerialPlatform::setupQueues(std::uint32_t receiveBytes, std::uint32_t transmitBytes)
{
    if (isOpen())
        (void)SetupComm(handle_, receiveBytes, transmitBytes);
}

void Win32SerialPlatform::setTimeouts(const SerialTimeouts& timeouts)
{
    if (!isOpen())
        return;
    COMMTIMEOUTS c = BuildCommTimeouts(timeouts);
    (void)SetCommTimeouts(handle_, &c);
}

int Win32SerialPlatform::outQueueBytes()
{
    if (!isOpen())
        return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status))
        return 0;
    return static_cast<int>(status.cbOutQue);
}

int Win32SerialPlatform::inQueueBytes() const
{
    if (!isOpen())
        return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status))
        return 0;
    return static_cast<int>(status.cbInQue);
}

int Win32SerialPlatform::read(std::uint8_t* buffer, int maxBytes)
{
    if (!isOpen() || maxBytes <= 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(maxBytes), &got, nullptr))
        return -1;
    return static_cast<int>(got);
}

int Win32SerialPlatform::write(const std::uint8_t* data, int size)
{
    if (!isOpen() || size <= 0)
        return 0;
    DWORD written = 0;
    if (!WriteFile(handle_, data, static_cast<DWORD>(size), &written, nullptr))
        return -1;
    return static_cast<int>(written);
}

void Win32SerialPlatform::waitWritable(int timeoutMs)
{
    // The driver has no "room to write" event without overlapped I/O: watch the queue drain.
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs > 0 ? timeoutMs : 0);
    while (isOpen() && outQueueBytes() > 0 && GetTickCount64() < deadline)
        Sleep(1);
}

} // namespace varnex
