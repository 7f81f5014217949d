#include "links/Cp210xTtyLibrary.h"

#include "links/PosixLineSettings.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace varnex {

namespace fs = std::filesystem;

struct Cp210xTtyLibrary::Device {
    int fd = -1;
    fs::path path;
};

namespace {

std::string readTrimmed(const fs::path& file)
{
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// From the tty's device directory up to the USB device that carries idVendor.
bool isBridgeTty(const fs::path& ttyDir, const fs::path& sysfsRoot)
{
    std::error_code ec;
    const fs::path deviceLink = ttyDir / "device";
    if (!fs::exists(deviceLink, ec))
        return false;
    fs::path dir = fs::canonical(deviceLink, ec);
    if (ec)
        return false;
    const fs::path root = fs::canonical(sysfsRoot, ec);
    for (int depth = 0; depth < 16 && !dir.empty() && dir != root && dir != dir.root_path(); ++depth) {
        if (fs::exists(dir / "idVendor", ec))
            return readTrimmed(dir / "idVendor") == kCp210xVendorId;
        dir = dir.parent_path();
    }
    return false;
}

SI_STATUS configureRaw(int fd, std::uint32_t baudRate)
{
    termios current{};
    if (tcgetattr(fd, &current) != 0)
        return SI_DEVICE_IO_FAILED;
    // The bridge's line to the meter: 8 data bits, no parity, 1 stop bit.
    SerialLineSettings settings;
    settings.baudRate = baudRate;
    settings.dataBits = 8;
    settings.stopBits = sb1BITS;
    settings.parity = ptNONE;
    settings.dtrOn = true;
    settings.rtsOn = true;
    PosixLineRequest request = BuildPosixLineRequest(current, settings);
    if (request.customBaud)
        return SI_INVALID_BAUDRATE;
    if (tcsetattr(fd, TCSANOW, &request.tio) != 0)
        return SI_DEVICE_IO_FAILED;
    return SI_SUCCESS;
}

} // namespace

Cp210xTtyLibrary::Cp210xTtyLibrary(fs::path sysfsRoot, fs::path devRoot)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot))
{
}

Cp210xTtyLibrary::~Cp210xTtyLibrary()
{
    for (Device* device : open_) {
        ::close(device->fd);
        delete device;
    }
}

std::vector<fs::path> Cp210xTtyLibrary::findBridges() const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(sysfsRoot_ / "class" / "tty", ec), end; !ec && it != end; it.increment(ec)) {
        if (isBridgeTty(it->path(), sysfsRoot_))
            names.push_back(it->path().filename().string());
    }
    // ttyUSB2 before ttyUSB10.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::vector<fs::path> paths;
    for (const auto& name : names)
        paths.push_back(devRoot_ / name);
    return paths;
}

Cp210xTtyLibrary::Device* Cp210xTtyLibrary::find(SI_HANDLE handle) const
{
    auto* device = static_cast<Device*>(handle);
    return open_.count(device) ? device : nullptr;
}

SI_STATUS Cp210xTtyLibrary::SI_GetNumDevices(std::uint32_t* numDevices)
{
    if (!numDevices)
        return SI_INVALID_PARAMETER;
    const auto count = static_cast<std::uint32_t>(findBridges().size());
    *numDevices = count;
    return count == 0 ? SI_DEVICE_NOT_FOUND : SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle)
{
    if (!handle)
        return SI_INVALID_PARAMETER;
    const auto bridges = findBridges();
    if (deviceNum >= bridges.size())
        return SI_DEVICE_NOT_FOUND;
    const fs::path& path = bridges[deviceNum];
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENODEV || errno == ENXIO ? SI_DEVICE_NOT_FOUND : SI_DEVICE_IO_FAILED;
    // Held by another program (exclusive tty or lock): not ours to read.
    if (ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        configureRaw(fd, kDefaultBaud) != SI_SUCCESS) {
        ::close(fd);
        return SI_DEVICE_IO_FAILED;
    }
    (void)tcflush(fd, TCIOFLUSH);
    auto* device = new Device{fd, path};
    open_.insert(device);
    *handle = device;
    return SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate)
{
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    if (!StandardSpeed(baudRate))
        return SI_INVALID_BAUDRATE;
    return configureRaw(device->fd, baudRate);
}

SI_STATUS Cp210xTtyLibrary::SI_SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    // Stored for the record: reads never wait and writes wait at most kMaxWriteWaitMs.
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    return SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                                    std::uint32_t* bytesReturned, void*)
{
    if (bytesReturned)
        *bytesReturned = 0;
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    if (!buffer || bytesToRead == 0)
        return SI_INVALID_REQUEST_LENGTH;
    ssize_t n;
    do {
        n = ::read(device->fd, buffer, bytesToRead);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        if (bytesReturned)
            *bytesReturned = static_cast<std::uint32_t>(n);
        return SI_SUCCESS;
    }
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
        return SI_RX_QUEUE_NOT_READY;
    return SI_READ_ERROR;
}

SI_STATUS Cp210xTtyLibrary::SI_Write(SI_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                                     std::uint32_t* bytesWritten, void*)
{
    if (bytesWritten)
        *bytesWritten = 0;
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    if (!buffer && bytesToWrite > 0)
        return SI_INVALID_PARAMETER;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(
                                             std::min<std::uint32_t>(writeTimeoutMs_, kMaxWriteWaitMs));
    const auto* next = static_cast<const std::uint8_t*>(buffer);
    std::uint32_t done = 0;
    while (done < bytesToWrite) {
        const ssize_t n = ::write(device->fd, next + done, bytesToWrite - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            if (bytesWritten)
                *bytesWritten = done;
            return SI_WRITE_ERROR;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{device->fd, POLLOUT, 0};
        (void)::poll(&p, 1, static_cast<int>(left));
    }
    if (bytesWritten)
        *bytesWritten = done;
    return done == bytesToWrite ? SI_SUCCESS : SI_WRITE_TIMED_OUT;
}

SI_STATUS Cp210xTtyLibrary::SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit, std::uint8_t flushReceive)
{
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    if (flushTransmit && flushReceive)
        (void)tcflush(device->fd, TCIOFLUSH);
    else if (flushTransmit)
        (void)tcflush(device->fd, TCOFLUSH);
    else if (flushReceive)
        (void)tcflush(device->fd, TCIFLUSH);
    return SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_Close(SI_HANDLE handle)
{
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    open_.erase(device);
    (void)ioctl(device->fd, TIOCNXCL);
    ::close(device->fd);
    delete device;
    return SI_SUCCESS;
}

} // namespace varnex
