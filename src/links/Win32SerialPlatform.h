#pragma once
// The serial component's platform on Windows: a COM port opened exclusively through the
// Win32 comm API, with the driver's own queues and time-outs. Reads return after about
// 1 ms (the component's read time-outs); writes block until done, as the component asks.
#include "links/SerialPlatform.h"

#include <windows.h>

#include <map>
#include <string>

namespace varnex {

class Win32SerialPlatform : public SerialPlatform {
public:
    Win32SerialPlatform() = default;
    ~Win32SerialPlatform() override;

    Win32SerialPlatform(const Win32SerialPlatform&) = delete;
    Win32SerialPlatform& operator=(const Win32SerialPlatform&) = delete;

    bool open(const std::string& deviceName) override;
    void close() override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    bool setLineSettings(const SerialLineSettings& settings) override;
    void purge(bool receive, bool transmit) override;
    void setupQueues(std::uint32_t receiveBytes, std::uint32_t transmitBytes) override;
    void setTimeouts(const SerialTimeouts& timeouts) override;
    int outQueueBytes() override;
    int read(std::uint8_t* buffer, int maxBytes) override;
    int write(const std::uint8_t* data, int size) override;
    void waitWritable(int timeoutMs) override;

    // Opens `path` whenever the component asks for deviceName ("COM1"): for a port the
    // system knows by another name.
    void setDevicePath(const std::string& deviceName, const std::string& path) { paths_[deviceName] = path; }
    // Why the last open or line setting failed ("" after a success).
    std::string lastError() const override { return lastError_; }
    // The path the last open used, e.g. "\\.\COM1".
    const std::string& devicePath() const { return path_; }
    HANDLE handle() const { return handle_; }
    // True when the last line format was taken with the device's own character size and
    // parity, because the device refused the requested ones.
    bool KeptDeviceFraming() const { return keptDeviceFraming_; }
    // Bytes the driver holds for reading (0 when closed or when it cannot tell).
    int inQueueBytes() const;

private:
    void failed(const std::string& what);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::map<std::string, std::string> paths_;
    std::string path_;
    std::string lastError_;
    bool keptDeviceFraming_ = false;
};

} // namespace varnex
