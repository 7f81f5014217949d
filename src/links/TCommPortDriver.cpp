#include "links/TCommPortDriver.h"

#include <algorithm>
#include <chrono>

namespace varnex {

namespace {
// A poll period of 0 would make the timer spin on every pass of the event loop.
int timerPeriod(std::uint16_t delayMs) { return std::max<int>(1, delayMs); }
} // namespace

TCommPortDriver::TCommPortDriver(std::unique_ptr<SerialPlatform> platform, std::unique_ptr<PollTimer> pollTimer)
    : platform_(std::move(platform)), pollTimer_(std::move(pollTimer))
{
    receiveBuffer_.assign(inBufSize_, 0);
    pollTimer_->setHandler([this] { PollReceive(); });
}

TCommPortDriver::~TCommPortDriver() { Disconnect(); }

void TCommPortDriver::SetComPort(TComPortNumber port)
{
    if (IsConnected())
        return; // the port in use never changes under an open connection
    comPort_ = port;
}

void TCommPortDriver::SetComPortSpeed(TComPortBaudRate speed)
{
    speed_ = speed;
    ApplySettings();
}

void TCommPortDriver::SetComPortDataBits(TComPortDataBits bits)
{
    dataBits_ = bits;
    ApplySettings();
}

void TCommPortDriver::SetComPortStopBits(TComPortStopBits bits)
{
    stopBits_ = bits;
    ApplySettings();
}

void TCommPortDriver::SetComPortParity(TComPortParity parity)
{
    parity_ = parity;
    ApplySettings();
}

void TCommPortDriver::SetComPortHwHandshaking(TComPortHwHandshaking handshaking)
{
    hwHandshaking_ = handshaking;
    ApplySettings();
}

void TCommPortDriver::SetComPortSwHandshaking(TComPortSwHandshaking handshaking)
{
    swHandshaking_ = handshaking;
    ApplySettings();
}

void TCommPortDriver::SetComPortInBufSize(std::uint16_t size)
{
    // The receive buffer is read into by every poll: it is only resized while closed,
    // and never to nothing.
    if (IsConnected() || size == 0)
        return;
    inBufSize_ = size;
    receiveBuffer_.assign(size, 0);
}

void TCommPortDriver::SetComPortOutBufSize(std::uint16_t size)
{
    // Kept as the component always did: a new transmit size is taken only while open
    // and reaches the driver at the next ApplySettings.
    if (!IsConnected())
        return;
    outBufSize_ = size;
}

void TCommPortDriver::SetComPortPollingDelay(std::uint16_t delayMs)
{
    if (delayMs == pollingDelay_)
        return;
    pollingDelay_ = delayMs;
    if (IsConnected())
        restartPollTimer();
}

void TCommPortDriver::restartPollTimer()
{
    pollTimer_->stop();
    pollTimer_->start(timerPeriod(pollingDelay_));
}

bool TCommPortDriver::IsConnected() const { return platform_->isOpen(); }

bool TCommPortDriver::Connect()
{
    if (IsConnected())
        return true;
    if (!platform_->open(ComPortDeviceName(comPort_)))
        return false; // no message: the caller sees the port stay closed
    ApplySettings();
    if (lineSettingsRefused_) {
        // An open port running some other line format would only feed garbage.
        platform_->close();
        return false;
    }
    SerialTimeouts timeouts;
    timeouts.readIntervalMs = 1;
    timeouts.readTotalMultiplierMs = 0;
    timeouts.readTotalConstantMs = 1;
    timeouts.writeTotalMultiplierMs = 0;
    timeouts.writeTotalConstantMs = 0;
    platform_->setTimeouts(timeouts);
    restartPollTimer();
    return true;
}

void TCommPortDriver::Disconnect()
{
    if (!IsConnected())
        return;
    pollTimer_->stop();
    platform_->close();
}

void TCommPortDriver::FlushBuffers(bool inBuf, bool outBuf)
{
    if (!IsConnected())
        return;
    platform_->purge(inBuf, outBuf);
}

SerialLineSettings TCommPortDriver::LineSettings() const
{
    SerialLineSettings s;
    s.baudRate = BaudRateValue(speed_);
    s.dataBits = CharacterSize(dataBits_);
    s.stopBits = stopBits_;
    s.parity = parity_;
    s.dtrOn = enableDtrOnOpen_;
    s.ctsOutputFlow = hwHandshaking_ == hhRTSCTS;
    s.rtsHandshake = hwHandshaking_ == hhRTSCTS;
    s.rtsOn = false;
    s.xonXoffOutput = swHandshaking_ == shXONXOFF;
    s.xonXoffInput = swHandshaking_ == shXONXOFF;
    s.xonLimit = static_cast<std::uint16_t>(inBufSize_ / 4);
    s.xoffLimit = 1;
    return s;
}

void TCommPortDriver::ApplySettings()
{
    if (!IsConnected())
        return;
    lineSettingsRefused_ = !platform_->setLineSettings(LineSettings());
    FlushBuffers(true, true);
    platform_->setupQueues(inBufSize_, outBufSize_);
}

std::int16_t TCommPortDriver::OutFreeSpace()
{
    if (!IsConnected())
        return -1;
    const int waiting = std::max(0, platform_->outQueueBytes());
    return static_cast<std::int16_t>(static_cast<int>(outBufSize_) - waiting);
}

int TCommPortDriver::SendData(const void* data, int size)
{
    if (!IsConnected())
        return 0;
    using Clock = std::chrono::steady_clock;
    const auto* next = static_cast<const std::uint8_t*>(data);
    int sent = 0;
    auto lastProgress = Clock::now();
    auto timedOut = [&] {
        return Clock::now() - lastProgress > std::chrono::milliseconds(outputTimeout_);
    };
    while (size > 0) {
        if (OutFreeSpace() > 0) {
            const int written = platform_->write(next, size);
            if (written < 0) {
                portLost(); // the device is gone: waiting cannot help
                return -sent;
            }
            if (written > 0) {
                sent += written;
                next += written;
                size -= written;
                lastProgress = Clock::now();
                continue;
            }
        }
        if (timedOut())
            return -sent;
        platform_->waitWritable(10); // the port is non-blocking: wait briefly, do not spin
    }
    return sent;
}

void TCommPortDriver::PollReceive()
{
    if (!IsConnected())
        return;
    const int count = platform_->read(receiveBuffer_.data(), static_cast<int>(receiveBuffer_.size()));
    if (count < 0) {
        portLost();
        return;
    }
    if (count > 0 && onReceiveData_)
        onReceiveData_(this, receiveBuffer_.data(), count);
}

void TCommPortDriver::portLost()
{
    // Polling a dead descriptor would fail every tick; closing it frees the device
    // name for the adapter when it comes back.
    const std::string cause = platform_->lastError();
    Disconnect();
    if (onPortLost_)
        onPortLost_(this, cause);
}

} // namespace varnex
