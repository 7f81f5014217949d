#pragma once
// The operations of the USB bridge maker's library that the USB link uses, with the
// argument order, statuses and handle semantics the link relies on. Implementations:
// the CP210x tty bridge on Linux, a scripted fake for tests, the simulated meter's bridge.
#include <cstdint>
#include <string>

namespace varnex {

using SI_STATUS = std::int32_t;
using SI_HANDLE = void*;  // empty (nullptr) when no device is open

constexpr SI_STATUS SI_SUCCESS = 0x00;
constexpr SI_STATUS SI_DEVICE_NOT_FOUND = 0xFF;
constexpr SI_STATUS SI_INVALID_HANDLE = 0x01;
constexpr SI_STATUS SI_READ_ERROR = 0x02;
constexpr SI_STATUS SI_RX_QUEUE_NOT_READY = 0x03;
constexpr SI_STATUS SI_WRITE_ERROR = 0x04;
constexpr SI_STATUS SI_RESET_ERROR = 0x05;
constexpr SI_STATUS SI_INVALID_PARAMETER = 0x06;
constexpr SI_STATUS SI_INVALID_REQUEST_LENGTH = 0x07;
constexpr SI_STATUS SI_DEVICE_IO_FAILED = 0x08;
constexpr SI_STATUS SI_INVALID_BAUDRATE = 0x09;
constexpr SI_STATUS SI_FUNCTION_NOT_SUPPORTED = 0x0A;
constexpr SI_STATUS SI_GLOBAL_DATA_ERROR = 0x0B;
constexpr SI_STATUS SI_SYSTEM_ERROR_CODE = 0x0C;
constexpr SI_STATUS SI_READ_TIMED_OUT = 0x0D;
constexpr SI_STATUS SI_WRITE_TIMED_OUT = 0x0E;
constexpr SI_STATUS SI_IO_PENDING = 0x0F;

class SiUsbLibrary {
public:
    virtual ~SiUsbLibrary() = default;
    // The message for the user when the library cannot be used at all (its DLL is not
    // installed, say); "" when it can. The link then calls nothing else.
    virtual std::string UnavailableMessage() const { return {}; }
    virtual SI_STATUS SI_GetNumDevices(std::uint32_t* numDevices) = 0;
    virtual SI_STATUS SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) = 0;
    virtual SI_STATUS SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) = 0;
    // Library-wide, like the vendor's: applies to every handle opened.
    virtual SI_STATUS SI_SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) = 0;
    // Must never wait on the UI thread: with no byte buffered it fails at once
    // (SI_RX_QUEUE_NOT_READY). A call with an empty handle fails and does nothing else.
    virtual SI_STATUS SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                              std::uint32_t* bytesReturned, void* overlapped) = 0;
    virtual SI_STATUS SI_Write(SI_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                               std::uint32_t* bytesWritten, void* overlapped) = 0;
    virtual SI_STATUS SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit, std::uint8_t flushReceive) = 0;
    virtual SI_STATUS SI_Close(SI_HANDLE handle) = 0;

    // Beyond the vendor's calls, for the user (empty where a library cannot tell): which
    // devices the last SI_GetNumDevices or SI_Open found and chose, and why the last
    // failing call failed.
    virtual std::string describeDevices() const { return {}; }
    virtual std::string lastErrorText() const { return {}; }
};

// The status SI_Read, SI_Write and SI_FlushBuffers give for a device that is gone
// (unplugged, hung up, its node removed): every later call on its handle fails too.
constexpr SI_STATUS SI_DEVICE_GONE = SI_DEVICE_IO_FAILED;

} // namespace varnex
