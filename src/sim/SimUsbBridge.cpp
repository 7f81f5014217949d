#include "sim/SimUsbBridge.h"

#include <algorithm>

namespace varnex::sim {

namespace {

// The bridge chip's baud rate limits.
constexpr std::uint32_t kMinimumBaud = 300;
constexpr std::uint32_t kMaximumBaud = 921600;

} // namespace

SimUsbBridge::SimUsbBridge(std::shared_ptr<SharedMeter> meter, std::uint32_t paceSeed)
    : meter_(std::move(meter))
    , pacer_(paceSeed)
{
}

SI_STATUS SimUsbBridge::SI_GetNumDevices(std::uint32_t* numDevices)
{
    if (!numDevices)
        return SI_INVALID_PARAMETER;
    *numDevices = 1;
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle)
{
    if (!handle)
        return SI_INVALID_PARAMETER;
    if (deviceNum != 0)
        return SI_DEVICE_NOT_FOUND;
    // Opening again (the program lost its handle) starts over rather than locking the user out.
    open_ = true;
    received_.clear();
    inFlight_.reset();
    inFlightArrived_ = 0;
    nextFrameStart_ = meter_->Now() + pacer_.NextGap();
    *handle = Handle();
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate)
{
    if (!IsOurs(handle))
        return SI_INVALID_HANDLE;
    if (baudRate < kMinimumBaud || baudRate > kMaximumBaud)
        return SI_INVALID_BAUDRATE;
    baudRate_ = baudRate;
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                                std::uint32_t* bytesReturned, void* /*overlapped*/)
{
    if (!IsOurs(handle))
        return SI_INVALID_HANDLE;
    if (!buffer || !bytesReturned)
        return SI_INVALID_PARAMETER;
    if (bytesToRead == 0)
        return SI_INVALID_REQUEST_LENGTH;
    CatchUp(meter_->Now());
    *bytesReturned = 0;
    if (received_.empty())
        return SI_RX_QUEUE_NOT_READY;  // never wait: the caller is a UI timer
    const std::size_t count = std::min<std::size_t>(bytesToRead, received_.size());
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::copy_n(received_.begin(), count, out);
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(count));
    *bytesReturned = static_cast<std::uint32_t>(count);
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_Write(SI_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                 std::uint32_t* bytesWritten, void* /*overlapped*/)
{
    if (!IsOurs(handle))
        return SI_INVALID_HANDLE;
    if (!buffer || !bytesWritten)
        return SI_INVALID_PARAMETER;
    if (bytesToWrite == 0)
        return SI_INVALID_REQUEST_LENGTH;
    for (const MeterKey key : keys_.Feed(static_cast<const std::uint8_t*>(buffer), bytesToWrite)) {
        meter_->Press(key);
        ++keysReceived_;
    }
    *bytesWritten = bytesToWrite;
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_FlushBuffers(SI_HANDLE handle, std::uint8_t /*flushTransmit*/, std::uint8_t flushReceive)
{
    if (!IsOurs(handle))
        return SI_INVALID_HANDLE;
    // Key commands leave at once, so there is never anything to flush on the transmit side.
    if (flushReceive) {
        CatchUp(meter_->Now());
        received_.clear();
    }
    return SI_SUCCESS;
}

SI_STATUS SimUsbBridge::SI_Close(SI_HANDLE handle)
{
    if (!IsOurs(handle))
        return SI_INVALID_HANDLE;
    open_ = false;
    received_.clear();
    inFlight_.reset();
    inFlightArrived_ = 0;
    return SI_SUCCESS;
}

void SimUsbBridge::Arrive(std::uint8_t byte)
{
    if (received_.size() >= kReceiveCapacity) {
        ++overrunBytes_;
        return;
    }
    // At another baud rate than the meter's the UART sees only framing errors.
    received_.push_back(baudRate_ == static_cast<std::uint32_t>(kBaudRate) ? byte : std::uint8_t{0});
}

void SimUsbBridge::CatchUp(SimTime now)
{
    for (;;) {
        if (!inFlight_) {
            if (nextFrameStart_ > now)
                return;
            inFlightStart_ = nextFrameStart_;
            inFlightArrived_ = 0;
            nextFrameStart_ += pacer_.NextGap();
            if (received_.size() >= kReceiveCapacity) {
                // Nobody is reading: the frame is lost whole, no need to measure it.
                overrunBytes_ += kFrameBytes;
                ++framesArrived_;
                continue;
            }
            inFlight_ = EncodeFrame(meter_->Sample(inFlightStart_));
        }
        while (inFlightArrived_ < kFrameBytes && inFlightStart_ + ByteArrivalOffset(inFlightArrived_) <= now) {
            Arrive((*inFlight_)[static_cast<std::size_t>(inFlightArrived_)]);
            ++inFlightArrived_;
        }
        if (inFlightArrived_ < kFrameBytes)
            return;
        inFlight_.reset();
        ++framesArrived_;
    }
}

} // namespace varnex::sim
