// A stand-in for the bridge maker's SiUSBXp.dll with the SI_* exports the USB link uses, and
// a few FakeSi_* exports through which a test scripts it and reads what it was asked.
// Like a real bridge library, a read with nothing received waits for the read time-out.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr int kSuccess = 0x00;
constexpr int kInvalidHandle = 0x01;
constexpr int kReadTimedOut = 0x0D;
constexpr int kDeviceNotFound = 0xFF;

struct State {
    DWORD devices = 1;
    int numDevicesStatus = kSuccess;
    std::deque<BYTE> received;
    bool emptyReadSucceeds = false; // report a timed-out read as a success with 0 bytes
    DWORD readTimeoutMs = 2000;     // until SI_SetTimeouts: long, as a library's default may be
    DWORD writeTimeoutMs = 2000;
    std::vector<BYTE> written;
    std::string calls;
    bool open = false;
};

State& state()
{
    static State s;
    return s;
}

HANDLE const kDevice = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x5150));

void log(const std::string& call)
{
    if (!state().calls.empty())
        state().calls += ' ';
    state().calls += call;
}

bool valid(HANDLE h) { return h == kDevice && state().open; }

} // namespace

#define FAKE_EXPORT extern "C" __declspec(dllexport)

FAKE_EXPORT int WINAPI SI_GetNumDevices(DWORD* numDevices)
{
    log("SI_GetNumDevices");
    *numDevices = state().devices;
    return state().numDevicesStatus;
}

FAKE_EXPORT int WINAPI SI_Open(DWORD deviceNum, HANDLE* handle)
{
    log("SI_Open(" + std::to_string(deviceNum) + ")");
    if (deviceNum >= state().devices)
        return kDeviceNotFound;
    state().open = true;
    *handle = kDevice;
    return kSuccess;
}

FAKE_EXPORT int WINAPI SI_SetBaudRate(HANDLE handle, DWORD baudRate)
{
    log("SI_SetBaudRate(" + std::to_string(baudRate) + ")");
    return valid(handle) ? kSuccess : kInvalidHandle;
}

FAKE_EXPORT int WINAPI SI_SetTimeouts(DWORD readTimeoutMs, DWORD writeTimeoutMs)
{
    log("SI_SetTimeouts(" + std::to_string(readTimeoutMs) + "," + std::to_string(writeTimeoutMs) + ")");
    state().readTimeoutMs = readTimeoutMs;
    state().writeTimeoutMs = writeTimeoutMs;
    return kSuccess;
}

FAKE_EXPORT int WINAPI SI_Read(HANDLE handle, void* buffer, DWORD bytesToRead, DWORD* bytesReturned, OVERLAPPED*)
{
    log("SI_Read");
    *bytesReturned = 0;
    if (!valid(handle))
        return kInvalidHandle;
    if (state().received.empty()) {
        Sleep(state().readTimeoutMs);
        return state().emptyReadSucceeds ? kSuccess : kReadTimedOut;
    }
    auto* out = static_cast<BYTE*>(buffer);
    while (*bytesReturned < bytesToRead && !state().received.empty()) {
        out[(*bytesReturned)++] = state().received.front();
        state().received.pop_front();
    }
    return kSuccess;
}

FAKE_EXPORT int WINAPI SI_Write(HANDLE handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED*)
{
    log("SI_Write");
    *bytesWritten = 0;
    if (!valid(handle))
        return kInvalidHandle;
    const auto* in = static_cast<const BYTE*>(buffer);
    state().written.insert(state().written.end(), in, in + bytesToWrite);
    *bytesWritten = bytesToWrite;
    return kSuccess;
}

FAKE_EXPORT int WINAPI SI_FlushBuffers(HANDLE handle, BYTE flushTransmit, BYTE flushReceive)
{
    log("SI_FlushBuffers(" + std::to_string(flushTransmit) + "," + std::to_string(flushReceive) + ")");
    if (!valid(handle))
        return kInvalidHandle;
    if (flushReceive)
        state().received.clear();
    return kSuccess;
}

#ifndef FAKE_SI_WITHOUT_CLOSE
FAKE_EXPORT int WINAPI SI_Close(HANDLE handle)
{
    log("SI_Close");
    if (!valid(handle))
        return kInvalidHandle;
    state().open = false;
    return kSuccess;
}
#endif

// --- The test's side ---

FAKE_EXPORT void FakeSi_Reset(DWORD devices, int numDevicesStatus)
{
    state() = State{};
    state().devices = devices;
    state().numDevicesStatus = numDevicesStatus;
}

FAKE_EXPORT void FakeSi_Receive(const BYTE* bytes, DWORD count)
{
    state().received.insert(state().received.end(), bytes, bytes + count);
}

FAKE_EXPORT void FakeSi_EmptyReadSucceeds(int yes) { state().emptyReadSucceeds = yes != 0; }

// The calls so far, space-separated ("SI_GetNumDevices SI_Open(0) ..."), into buffer.
FAKE_EXPORT void FakeSi_Calls(char* buffer, DWORD size)
{
    const std::string& calls = state().calls;
    const std::size_t n = calls.size() < size ? calls.size() : size - 1;
    calls.copy(buffer, n);
    buffer[n] = '\0';
}

FAKE_EXPORT DWORD FakeSi_Written(BYTE* buffer, DWORD size)
{
    const auto& written = state().written;
    DWORD n = 0;
    for (; n < size && n < written.size(); ++n)
        buffer[n] = written[n];
    return n;
}
