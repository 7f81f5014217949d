#include "links/Cp210xTtyLibrary.h"

#include "links/ExclusiveTty.h"
#include "links/LinkDiagnostics.h"
#include "links/PosixLineSettings.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace varnex {

namespace fs = std::filesystem;

struct Cp210xTtyLibrary::Device {
    int fd = -1;
    fs::path path;
    dev_t rdev = 0;
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

// From the tty's device directory up to the USB device that carries idVendor; the
// driver is the one bound to the tty's own device (usb-serial port or USB interface).
bool bridgeCandidate(const fs::path& ttyDir, const fs::path& sysfsRoot, UsbBridgeCandidate& out)
{
    std::error_code ec;
    const fs::path deviceLink = ttyDir / "device";
    if (!fs::exists(deviceLink, ec))
        return false;
    fs::path dir = fs::canonical(deviceLink, ec);
    if (ec)
        return false;
    const fs::path driver = fs::canonical(dir / "driver", ec);
    out.driver = ec ? std::string() : driver.filename().string();
    const fs::path root = fs::canonical(sysfsRoot, ec);
    for (int depth = 0; depth < 16 && !dir.empty() && dir != root && dir != dir.root_path(); ++depth) {
        if (fs::exists(dir / "idVendor", ec)) {
            out.vendorId = readTrimmed(dir / "idVendor");
            out.productId = fs::exists(dir / "idProduct", ec) ? readTrimmed(dir / "idProduct") : std::string();
            return out.vendorId == kCp210xVendorId;
        }
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

// Errors after which the device will not come back on this descriptor.
bool deviceGoneErrno(int error) { return error == EIO || error == ENXIO || error == ENODEV || error == EBADF; }

} // namespace

std::string DescribeBridge(const UsbBridgeCandidate& bridge)
{
    std::string text = bridge.node.string() + " (" + (bridge.driver.empty() ? "no driver" : bridge.driver);
    if (!bridge.vendorId.empty())
        text += ", " + bridge.vendorId + (bridge.productId.empty() ? "" : ":" + bridge.productId);
    return text + ")";
}

Cp210xTtyLibrary::Cp210xTtyLibrary(fs::path sysfsRoot, fs::path devRoot)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot))
{
}

Cp210xTtyLibrary::~Cp210xTtyLibrary()
{
    for (Device* device : open_) {
        CloseExclusiveTty(device->fd);
        delete device;
    }
}

std::vector<UsbBridgeCandidate> Cp210xTtyLibrary::findCandidates() const
{
    std::vector<std::pair<std::string, UsbBridgeCandidate>> found;
    std::error_code ec;
    for (fs::directory_iterator it(sysfsRoot_ / "class" / "tty", ec), end; !ec && it != end; it.increment(ec)) {
        UsbBridgeCandidate candidate;
        if (bridgeCandidate(it->path(), sysfsRoot_, candidate)) {
            const std::string name = it->path().filename().string();
            candidate.node = devRoot_ / name;
            found.emplace_back(name, std::move(candidate));
        }
    }
    // ttyUSB2 before ttyUSB10.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size() : a.first < b.first;
    });
    std::vector<UsbBridgeCandidate> candidates;
    for (auto& entry : found)
        candidates.push_back(std::move(entry.second));
    return candidates;
}

std::vector<UsbBridgeCandidate> Cp210xTtyLibrary::preferredBridges() const
{
    std::vector<UsbBridgeCandidate> all = findCandidates();
    std::vector<UsbBridgeCandidate> cp210x;
    std::copy_if(all.begin(), all.end(), std::back_inserter(cp210x),
                 [](const UsbBridgeCandidate& c) { return c.driver == kCp210xDriverName; });
    return cp210x.empty() ? all : cp210x;
}

std::vector<fs::path> Cp210xTtyLibrary::findBridges() const
{
    std::vector<fs::path> paths;
    for (const auto& bridge : preferredBridges())
        paths.push_back(bridge.node);
    return paths;
}

void Cp210xTtyLibrary::noteDevices(const std::vector<UsbBridgeCandidate>& preferred)
{
    std::vector<UsbBridgeCandidate> passedOver;
    for (const auto& candidate : findCandidates())
        if (std::find(preferred.begin(), preferred.end(), candidate) == preferred.end())
            passedOver.push_back(candidate);
    if (preferred.empty())
        devices_ = "No USB bridge found (no tty below a Silicon Labs 10c4 USB device)";
    else if (preferred.size() == 1)
        devices_ = "USB bridge: " + DescribeBridge(preferred[0]);
    else {
        devices_ = std::to_string(preferred.size()) + " USB bridges found, so none is opened:";
        for (std::size_t i = 0; i < preferred.size(); ++i)
            devices_ += (i == 0 ? " " : ", ") + DescribeBridge(preferred[i]);
    }
    for (const auto& other : passedOver)
        devices_ += "\nNot used (not the cp210x driver): " + DescribeBridge(other);
}

Cp210xTtyLibrary::Device* Cp210xTtyLibrary::find(SI_HANDLE handle) const
{
    auto* device = static_cast<Device*>(handle);
    return open_.count(device) ? device : nullptr;
}

SI_STATUS Cp210xTtyLibrary::failed(SI_STATUS status, std::string why)
{
    lastError_ = std::move(why);
    return status;
}

bool Cp210xTtyLibrary::gone(Device& device)
{
    pollfd p{device.fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        lastError_ = device.path.string() + " hung up (USB bridge unplugged)";
        return true;
    }
    struct stat st {};
    if (::stat(device.path.c_str(), &st) != 0 || st.st_rdev != device.rdev) {
        lastError_ = device.path.string() + " is gone (USB bridge unplugged)";
        return true;
    }
    return false;
}

SI_STATUS Cp210xTtyLibrary::SI_GetNumDevices(std::uint32_t* numDevices)
{
    if (!numDevices)
        return SI_INVALID_PARAMETER;
    lastError_.clear();
    const auto bridges = preferredBridges();
    noteDevices(bridges);
    const auto count = static_cast<std::uint32_t>(bridges.size());
    *numDevices = count;
    return count == 0 ? SI_DEVICE_NOT_FOUND : SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle)
{
    if (!handle)
        return SI_INVALID_PARAMETER;
    const auto bridges = preferredBridges();
    noteDevices(bridges);
    if (deviceNum >= bridges.size())
        return failed(SI_DEVICE_NOT_FOUND, devices_);
    const fs::path& path = bridges[deviceNum].node;
    const ExclusiveTtyResult opened = OpenTtyExclusively(path.string());
    if (opened.fd < 0) {
        const bool absent = opened.error == ENOENT || opened.error == ENODEV || opened.error == ENXIO;
        // Permission denied and "in use" both end in the driver message box; the cause
        // and what to do about it go to the user in words.
        const bool access = opened.error == EACCES || opened.error == EPERM;
        std::string why = opened.message;
        if (access || opened.error == EBUSY)
            why += "\nHint: " + OpenFailureHint(opened.error);
        return failed(absent ? SI_DEVICE_NOT_FOUND : SI_DEVICE_IO_FAILED, why);
    }
    if (const SI_STATUS status = configureRaw(opened.fd, kDefaultBaud); status != SI_SUCCESS) {
        const std::string why = path.string() + ": the line cannot be set: " + std::strerror(errno);
        CloseExclusiveTty(opened.fd);
        return failed(SI_DEVICE_IO_FAILED, why);
    }
    (void)tcflush(opened.fd, TCIOFLUSH);
    struct stat st {};
    auto* device = new Device{opened.fd, path, fstat(opened.fd, &st) == 0 ? st.st_rdev : 0};
    open_.insert(device);
    *handle = device;
    devices_ = "USB bridge: " + DescribeBridge(bridges[deviceNum]);
    lastError_.clear();
    return SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate)
{
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    if (!StandardSpeed(baudRate))
        return failed(SI_INVALID_BAUDRATE, std::to_string(baudRate) + " baud is not a rate of the bridge");
    const SI_STATUS status = configureRaw(device->fd, baudRate);
    if (status != SI_SUCCESS)
        return failed(status, device->path.string() + ": the baud rate cannot be set: " + std::strerror(errno));
    return status;
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
    if (n < 0 && deviceGoneErrno(errno))
        return failed(SI_DEVICE_GONE, device->path.string() + ": " + std::strerror(errno));
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        return failed(SI_READ_ERROR, device->path.string() + ": " + std::strerror(errno));
    // Nothing to read: a hung-up tty says the same with VMIN = 0, poll() tells them apart.
    return gone(*device) ? SI_DEVICE_GONE : SI_RX_QUEUE_NOT_READY;
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
            const SI_STATUS status = deviceGoneErrno(errno) ? SI_DEVICE_GONE : SI_WRITE_ERROR;
            return failed(status, device->path.string() + ": " + std::strerror(errno));
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{device->fd, POLLOUT, 0};
        (void)::poll(&p, 1, static_cast<int>(left));
    }
    if (bytesWritten)
        *bytesWritten = done;
    if (done == bytesToWrite)
        return SI_SUCCESS;
    return failed(SI_WRITE_TIMED_OUT, device->path.string() + ": the bridge took no more bytes");
}

SI_STATUS Cp210xTtyLibrary::SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit, std::uint8_t flushReceive)
{
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    int queue = -1;
    if (flushTransmit && flushReceive)
        queue = TCIOFLUSH;
    else if (flushTransmit)
        queue = TCOFLUSH;
    else if (flushReceive)
        queue = TCIFLUSH;
    if (queue >= 0 && tcflush(device->fd, queue) != 0)
        return failed(SI_DEVICE_GONE, device->path.string() + ": " + std::strerror(errno));
    return gone(*device) ? SI_DEVICE_GONE : SI_SUCCESS;
}

SI_STATUS Cp210xTtyLibrary::SI_Close(SI_HANDLE handle)
{
    Device* device = find(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    open_.erase(device);
    CloseExclusiveTty(device->fd);
    delete device;
    return SI_SUCCESS;
}

} // namespace varnex
