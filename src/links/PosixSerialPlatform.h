#pragma once
// The serial component's platform on Linux and other POSIX systems: a tty opened
// non-blocking and exclusive, configured through termios.
#include "links/SerialPlatform.h"
#include "links/SerialPortNames.h"

#include <string>

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

    // Why the last open or line setting failed ("" after a success).
    const std::string& lastError() const { return lastError_; }
    // The path the last open used.
    const std::string& devicePath() const { return path_; }
    int fileDescriptor() const { return fd_; }
    SerialPortNames& names() { return names_; }

private:
    SerialPortNames names_;
    int fd_ = -1;
    std::string path_;
    std::string lastError_;
};

} // namespace varnex
