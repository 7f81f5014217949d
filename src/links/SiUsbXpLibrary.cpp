#include "links/SiUsbXpLibrary.h"

#include <windows.h>

#include <algorithm>

namespace varnex {

// The DLL's exports, with the arguments the link passes (status 0 is success).
struct SiUsbXpLibrary::Calls {
    using GetNumDevices = int(WINAPI*)(DWORD* numDevices);
    using Open = int(WINAPI*)(DWORD deviceNum, HANDLE* handle);
    using SetBaudRate = int(WINAPI*)(HANDLE handle, DWORD baudRate);
    using SetTimeouts = int(WINAPI*)(DWORD readTimeoutMs, DWORD writeTimeoutMs);
    using Read = int(WINAPI*)(HANDLE handle, void* buffer, DWORD bytesToRead, DWORD* bytesReturned,
                              OVERLAPPED* overlapped);
    using Write = int(WINAPI*)(HANDLE handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten,
                               OVERLAPPED* overlapped);
    using FlushBuffers = int(WINAPI*)(HANDLE handle, BYTE flushTransmit, BYTE flushReceive);
    using Close = int(WINAPI*)(HANDLE handle);

    GetNumDevices getNumDevices = nullptr;
    Open open = nullptr;
    SetBaudRate setBaudRate = nullptr;
    SetTimeouts setTimeouts = nullptr;
    Read read = nullptr;
    Write write = nullptr;
    FlushBuffers flushBuffers = nullptr;
    Close close = nullptr;
};

namespace {

template <typename Function>
bool Resolve(HMODULE dll, const char* name, Function& into, std::string& missing)
{
    // GetProcAddress hands out a generic function pointer; the export's type is ours to know.
    into = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    if (!into && missing.empty())
        missing = name;
    return into != nullptr;
}

} // namespace

SiUsbXpLibrary::SiUsbXpLibrary(std::string dllName)
{
    HMODULE dll = LoadLibraryA(dllName.c_str());
    if (!dll) {
        unavailable_ = "The USB driver library " + dllName +
                       " was not found. Install the driver of the Varnex USB cable, then connect again.";
        return;
    }
    auto* calls = new Calls;
    std::string missing;
    Resolve(dll, "SI_GetNumDevices", calls->getNumDevices, missing);
    Resolve(dll, "SI_Open", calls->open, missing);
    Resolve(dll, "SI_SetBaudRate", calls->setBaudRate, missing);
    Resolve(dll, "SI_SetTimeouts", calls->setTimeouts, missing);
    Resolve(dll, "SI_Read", calls->read, missing);
    Resolve(dll, "SI_Write", calls->write, missing);
    Resolve(dll, "SI_FlushBuffers", calls->flushBuffers, missing);
    Resolve(dll, "SI_Close", calls->close, missing);
    if (!missing.empty()) {
        unavailable_ = "The USB driver library " + dllName + " cannot be used: it has no " + missing +
                       ". Install the driver of the Varnex USB cable again.";
        delete calls;
        FreeLibrary(dll);
        return;
    }
    dll_ = dll;
    calls_ = calls;
}

SiUsbXpLibrary::~SiUsbXpLibrary()
{
    delete calls_;
    if (dll_)
        FreeLibrary(static_cast<HMODULE>(dll_));
}

SI_STATUS SiUsbXpLibrary::SI_GetNumDevices(std::uint32_t* numDevices)
{
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!numDevices)
        return SI_INVALID_PARAMETER;
    DWORD count = 0;
    const SI_STATUS status = calls_->getNumDevices(&count);
    *numDevices = count;
    return status;
}

SI_STATUS SiUsbXpLibrary::SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle)
{
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!handle)
        return SI_INVALID_PARAMETER;
    HANDLE opened = nullptr;
    const SI_STATUS status = calls_->open(deviceNum, &opened);
    if (status != SI_SUCCESS) {
        *handle = nullptr;
        return status;
    }
    *handle = opened;
    // The DLL's own time-outs may be long; reads must not wait even before SI_SetTimeouts
    // (which the link skips when the baud rate cannot be set).
    (void)calls_->setTimeouts(kMaxReadWaitMs, kMaxWriteWaitMs);
    return status;
}

SI_STATUS SiUsbXpLibrary::SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate)
{
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!handle)
        return SI_INVALID_HANDLE;
    return calls_->setBaudRate(handle, baudRate);
}

SI_STATUS SiUsbXpLibrary::SI_SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    // The UI thread calls SI_Read every 10 ms: a wait for the meter's next byte must not block it.
    return calls_->setTimeouts(std::min(readTimeoutMs, kMaxReadWaitMs), std::min(writeTimeoutMs, kMaxWriteWaitMs));
}

SI_STATUS SiUsbXpLibrary::SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                                  std::uint32_t* bytesReturned, void* overlapped)
{
    if (bytesReturned)
        *bytesReturned = 0;
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!handle)
        return SI_INVALID_HANDLE;
    if (!buffer || bytesToRead == 0)
        return SI_INVALID_REQUEST_LENGTH;
    DWORD got = 0;
    const SI_STATUS status = calls_->read(handle, buffer, bytesToRead, &got, static_cast<OVERLAPPED*>(overlapped));
    if (bytesReturned)
        *bytesReturned = got;
    // A read that timed out may still report success: without a byte it is no success,
    // or the link would hand its previous byte to the assembler again.
    if (status == SI_SUCCESS && got == 0)
        return SI_READ_TIMED_OUT;
    return status;
}

SI_STATUS SiUsbXpLibrary::SI_Write(SI_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                   std::uint32_t* bytesWritten, void* overlapped)
{
    if (bytesWritten)
        *bytesWritten = 0;
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!handle)
        return SI_INVALID_HANDLE;
    if (!buffer && bytesToWrite > 0)
        return SI_INVALID_PARAMETER;
    DWORD written = 0;
    // The DLL takes a non-const buffer; it only reads it.
    const SI_STATUS status = calls_->write(handle, const_cast<void*>(buffer), bytesToWrite, &written,
                                           static_cast<OVERLAPPED*>(overlapped));
    if (bytesWritten)
        *bytesWritten = written;
    return status;
}

SI_STATUS SiUsbXpLibrary::SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit, std::uint8_t flushReceive)
{
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!handle)
        return SI_INVALID_HANDLE;
    return calls_->flushBuffers(handle, flushTransmit, flushReceive);
}

SI_STATUS SiUsbXpLibrary::SI_Close(SI_HANDLE handle)
{
    if (!calls_)
        return SI_DEVICE_NOT_FOUND;
    if (!handle)
        return SI_INVALID_HANDLE;
    return calls_->close(handle);
}

} // namespace varnex
