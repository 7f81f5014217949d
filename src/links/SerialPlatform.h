#pragma once
// The operating-system side of the serial component: everything TCommPortDriver needs
// from a serial device, so another platform can be added without touching the component.
#include "links/ComPortTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace varnex {

// The line format the component asks for. Fields follow the Windows device control
// block the component was modelled on; a POSIX port maps them onto termios.
struct SerialLineSettings {
    std::uint32_t baudRate = 9600;
    int dataBits = 8;                       // 5 .. 8
    TComPortStopBits stopBits = sb1BITS;
    TComPortParity parity = ptNONE;
    bool ctsOutputFlow = false;             // output held while CTS is low
    bool rtsHandshake = false;              // RTS driven by the driver as input handshake
    bool rtsOn = false;                     // RTS level when there is no hardware handshake
    bool dtrOn = true;                      // DTR raised while open
    bool xonXoffOutput = false;
    bool xonXoffInput = false;
    std::uint16_t xonLimit = 0;
    std::uint16_t xoffLimit = 0;
    bool operator==(const SerialLineSettings& o) const
    {
        return baudRate == o.baudRate && dataBits == o.dataBits && stopBits == o.stopBits &&
               parity == o.parity && ctsOutputFlow == o.ctsOutputFlow && rtsHandshake == o.rtsHandshake &&
               rtsOn == o.rtsOn && dtrOn == o.dtrOn && xonXoffOutput == o.xonXoffOutput &&
               xonXoffInput == o.xonXoffInput && xonLimit == o.xonLimit && xoffLimit == o.xoffLimit;
    }
};

struct SerialTimeouts {
    std::uint32_t readIntervalMs = 0;
    std::uint32_t readTotalMultiplierMs = 0;
    std::uint32_t readTotalConstantMs = 0;
    std::uint32_t writeTotalMultiplierMs = 0;
    std::uint32_t writeTotalConstantMs = 0;
};

class SerialPlatform {
public:
    virtual ~SerialPlatform() = default;
    // Opens "COM1".."COM4" (or a platform path) for reading and writing, exclusively.
    virtual bool open(const std::string& deviceName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // False when the device refuses the format (the previous one stays in force).
    virtual bool setLineSettings(const SerialLineSettings& settings) = 0;
    virtual void purge(bool receive, bool transmit) = 0;
    virtual void setupQueues(std::uint32_t receiveBytes, std::uint32_t transmitBytes) = 0;
    virtual void setTimeouts(const SerialTimeouts& timeouts) = 0;
    // Bytes waiting in the driver's transmit queue (0 when the driver cannot tell).
    virtual int outQueueBytes() = 0;
    // Never waits: bytes read, 0 when nothing is buffered, -1 when the device is lost
    // (hung up, unplugged, its node gone, an I/O error).
    virtual int read(std::uint8_t* buffer, int maxBytes) = 0;
    // Never waits: bytes accepted, 0 when the queue is full, -1 on a device error.
    virtual int write(const std::uint8_t* data, int size) = 0;
    // Waits at most timeoutMs for room to write; used between write attempts.
    virtual void waitWritable(int timeoutMs) = 0;

    // For the user, not for the component's rules: why the last open, line setting, read
    // or write failed ("" after a successful open), its errno (0 when none), the device
    // the port name stands for, and the line format the device holds after the last
    // setLineSettings, read back from it (nothing where it cannot be read back).
    virtual std::string lastError() const { return {}; }
    virtual int lastErrorNumber() const { return 0; }
    virtual std::string devicePathFor(const std::string& deviceName) const { return deviceName; }
    virtual std::optional<SerialLineSettings> lineSettingsInForce() const { return std::nullopt; }
};

} // namespace varnex
