#pragma once
// The simulated meter behind the USB library's calls, as device 0 of one.
//
// No thread: the meter's bytes "arrive" by the clock. Each call that looks at the receive
// buffer first appends every byte whose arrival time has passed (frames of 21 bytes at 9600
// baud, one every 300-500 ms), so a read never waits. Key commands written go to the meter.
// Used from one thread (the program's UI thread); the meter behind it may be shared with a pty.
#include "links/SiUsbLibrary.h"
#include "protocol/FrameEncoder.h"
#include "sim/FramePacer.h"
#include "sim/KeyCommandParser.h"
#include "sim/SharedMeter.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

namespace varnex::sim {

class SimUsbBridge final : public SiUsbLibrary {
public:
    // The bridge's receive buffer; bytes arriving while it is full are lost (overrun).
    static constexpr std::size_t kReceiveCapacity = 4096;

    explicit SimUsbBridge(std::shared_ptr<SharedMeter> meter, std::uint32_t paceSeed = 2);

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

    bool IsOpen() const { return open_; }
    std::uint32_t BaudRate() const { return baudRate_; }
    std::uint32_t ReadTimeoutMs() const { return readTimeoutMs_; }
    std::uint32_t WriteTimeoutMs() const { return writeTimeoutMs_; }
    // When the next frame starts leaving the meter (its first byte arrives 1.04 ms later).
    SimTime NextFrameStart() const { return nextFrameStart_; }
    std::size_t OverrunBytes() const { return overrunBytes_; }
    // Frames whose last byte has arrived since the bridge was made (whether read or not).
    std::size_t FramesArrived() const { return framesArrived_; }
    std::size_t KeysReceived() const { return keysReceived_; }

private:
    bool IsOurs(SI_HANDLE handle) const { return open_ && handle == Handle(); }
    SI_HANDLE Handle() const { return const_cast<int*>(&handleToken_); }
    void CatchUp(SimTime now);
    void Arrive(std::uint8_t byte);

    std::shared_ptr<SharedMeter> meter_;
    FramePacer pacer_;
    KeyCommandParser keys_;
    int handleToken_ = 0;  // its address is the handle
    bool open_ = false;
    std::uint32_t baudRate_ = kBaudRate;
    std::uint32_t readTimeoutMs_ = 0;
    std::uint32_t writeTimeoutMs_ = 0;

    std::deque<std::uint8_t> received_;
    SimTime nextFrameStart_{0};
    std::optional<WireFrame> inFlight_;  // the frame whose bytes are still arriving
    SimTime inFlightStart_{0};
    int inFlightArrived_ = 0;
    std::size_t overrunBytes_ = 0;
    std::size_t framesArrived_ = 0;
    std::size_t keysReceived_ = 0;
};

} // namespace varnex::sim
