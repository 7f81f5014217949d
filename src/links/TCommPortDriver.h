#pragma once
// The serial port component: owns one RS-232 port, polls it on a timer of the UI thread
// and hands each batch of received bytes to OnReceiveData. No threads, no waiting reads.
#include "links/ComPortTypes.h"
#include "links/PollTimer.h"
#include "links/SerialPlatform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

class TCommPortDriver;

// Called once per poll tick that read at least one byte. The bytes live in the
// component's receive buffer and are valid only during the call.
using TComPortReceiveDataEvent =
    std::function<void(TCommPortDriver* sender, const std::uint8_t* data, int size)>;

// Called once when an open port is lost (the device hung up, was unplugged, its node
// vanished or reported an I/O error): the component has already stopped polling and
// closed the port, so IsConnected() is false and Connect() may be tried again. The
// handler must not destroy the component.
using TComPortLostEvent = std::function<void(TCommPortDriver* sender, const std::string& cause)>;

class TCommPortDriver {
public:
    // The poll timer defaults to the platform's UI-thread timer.
    explicit TCommPortDriver(std::unique_ptr<SerialPlatform> platform,
                             std::unique_ptr<PollTimer> pollTimer = MakeUiPollTimer());
    ~TCommPortDriver();

    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;

    // Properties (component defaults: pnCOM2, br9600, db8BITS, sb1BITS, ptNONE, hhNONE,
    // shNONE, 2048, 2048, 50 ms, DTR on, 4000 ms).
    TComPortNumber ComPort() const { return comPort_; }
    void SetComPort(TComPortNumber port);
    TComPortBaudRate ComPortSpeed() const { return speed_; }
    void SetComPortSpeed(TComPortBaudRate speed);
    TComPortDataBits ComPortDataBits() const { return dataBits_; }
    void SetComPortDataBits(TComPortDataBits bits);
    TComPortStopBits ComPortStopBits() const { return stopBits_; }
    void SetComPortStopBits(TComPortStopBits bits);
    TComPortParity ComPortParity() const { return parity_; }
    void SetComPortParity(TComPortParity parity);
    TComPortHwHandshaking ComPortHwHandshaking() const { return hwHandshaking_; }
    void SetComPortHwHandshaking(TComPortHwHandshaking handshaking);
    TComPortSwHandshaking ComPortSwHandshaking() const { return swHandshaking_; }
    void SetComPortSwHandshaking(TComPortSwHandshaking handshaking);
    std::uint16_t ComPortInBufSize() const { return inBufSize_; }
    void SetComPortInBufSize(std::uint16_t size);
    std::uint16_t ComPortOutBufSize() const { return outBufSize_; }
    void SetComPortOutBufSize(std::uint16_t size);
    std::uint16_t ComPortPollingDelay() const { return pollingDelay_; }
    void SetComPortPollingDelay(std::uint16_t delayMs);
    bool EnableDTROnOpen() const { return enableDtrOnOpen_; }
    void SetEnableDTROnOpen(bool enable) { enableDtrOnOpen_ = enable; }
    std::uint16_t OutputTimeout() const { return outputTimeout_; }
    void SetOutputTimeout(std::uint16_t timeoutMs) { outputTimeout_ = timeoutMs; }
    const TComPortReceiveDataEvent& OnReceiveData() const { return onReceiveData_; }
    void SetOnReceiveData(TComPortReceiveDataEvent handler) { onReceiveData_ = std::move(handler); }
    const TComPortLostEvent& OnPortLost() const { return onPortLost_; }
    void SetOnPortLost(TComPortLostEvent handler) { onPortLost_ = std::move(handler); }

    // Opens the port and starts polling; true when the port is open afterwards.
    bool Connect();
    void Disconnect();
    bool IsConnected() const;
    void FlushBuffers(bool inBuf, bool outBuf);
    // ComPortOutBufSize minus the bytes waiting to go out; -1 when closed.
    std::int16_t OutFreeSpace();
    // Bytes written; 0 when closed; minus the bytes written when OutputTimeout ran out.
    int SendData(const void* data, int size);
    void ApplySettings();
    void PollReceive();

    // The line format ApplySettings asks the platform for, from the current properties.
    SerialLineSettings LineSettings() const;
    // True when the platform refused the last line format it was given.
    bool LineSettingsRefused() const { return lineSettingsRefused_; }
    bool PollTimerActive() const { return pollTimer_->isActive(); }

    // For the user: the platform's account of the last failure, the device that ComPort
    // stands for, and the line format the device holds (read back after ApplySettings).
    std::string LastError() const { return platform_->lastError(); }
    int LastErrorNumber() const { return platform_->lastErrorNumber(); }
    std::string DevicePath() const { return platform_->devicePathFor(ComPortDeviceName(comPort_)); }
    std::optional<SerialLineSettings> LineSettingsInForce() const { return platform_->lineSettingsInForce(); }

private:
    void restartPollTimer();
    void portLost();

    std::unique_ptr<SerialPlatform> platform_;
    std::unique_ptr<PollTimer> pollTimer_;
    std::vector<std::uint8_t> receiveBuffer_;
    bool lineSettingsRefused_ = false;

    TComPortNumber comPort_ = pnCOM2;
    TComPortBaudRate speed_ = br9600;
    TComPortDataBits dataBits_ = db8BITS;
    TComPortStopBits stopBits_ = sb1BITS;
    TComPortParity parity_ = ptNONE;
    TComPortHwHandshaking hwHandshaking_ = hhNONE;
    TComPortSwHandshaking swHandshaking_ = shNONE;
    std::uint16_t inBufSize_ = 2048;
    std::uint16_t outBufSize_ = 2048;
    std::uint16_t pollingDelay_ = 50;
    bool enableDtrOnOpen_ = true;
    std::uint16_t outputTimeout_ = 4000;
    TComPortReceiveDataEvent onReceiveData_;
    TComPortLostEvent onPortLost_;
};

} // namespace varnex
