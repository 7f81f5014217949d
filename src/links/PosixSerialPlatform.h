#pragma once
// The serial component's platform on Linux and other POSIX systems: a tty opened
// non-blocking and for this program alone (see ExclusiveTty.h), configured through
// termios, and watched for a hang-up or a vanished device node on every empty read.
#include "links/ExclusiveTty.h"
#include "links/SerialPlatform.h"
#include "links/SerialPortNames.h"

#include <string>
#include <sys/types.h>

namespace varnex {

class PosixSerialPlatform : public SerialPlatform {
public:
    explicit PosixSerialPlatform(SerialPortNames names = SerialPortNames());
    ~PosixSerialPlatform() override;

    PosixSerialPlatform(const PosixSerialPlatform&) = delete;
    PosixSerialPlatform& operator=(const PosixSerialPlatform&) = delete;

    bool open(const std::string& deviceName) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool setLineSettings(const SerialLineSettings& settings) override;
    void purge(bool receive, bool transmit) override;
    void setupQueues(std::uint32_t receiveBytes, std::uint32_t transmitBytes) override;
    void setTimeouts(const SerialTimeouts& timeouts) override;
    int outQueueBytes() override;
    int read(std::uint8_t* buffer, int maxBytes) override;
    int write(const std::uint8_t* data, int size) override;
    void waitWritable(int timeoutMs) override;

    std::string lastError() const override { return lastError_; }
    int lastErrorNumber() const override { return lastErrno_; }
    std::string devicePathFor(const std::string& deviceName) const override;
    std::optional<SerialLineSettings> lineSettingsInForce() const override { return inForce_; }

    // The path the last open used.
    const std::string& devicePath() const { return path_; }
    int fileDescriptor() const { return fd_; }
    SerialPortNames& names() { return names_; }
    // Where modem-line and exclusive-mode requests go (the kernel unless a test says).
    void setTtyControl(TtyControl& control) { control_ = &control; }

private:
    bool deviceLost();
    void fail(int error, std::string message);

    SerialPortNames names_;
    TtyControl* control_ = &TtyControl::system();
    int fd_ = -1;
    dev_t device_ = 0;
    std::string path_;
    std::string lastError_;
    int lastErrno_ = 0;
    std::optional<SerialLineSettings> inForce_;
};

} // namespace varnex
