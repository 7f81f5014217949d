#pragma once
// The USB link: opens the meter's USB-to-UART bridge through an SiUsbLibrary, reads one
// byte per Timer1 tick into the USB frame assembler, writes key codes, closes the bridge.
// Plain class: the window binds the UI callbacks and the assembler.
#include "links/SiUsbLibrary.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace varnex {

inline constexpr const char* kUsbNotFoundMessage =
    "Varnex USB device not found, please check if connected properly, the driver is installed correctly.";
inline constexpr const char* kUsbDriverMessage = "Please check the USB device driver installation is normal.";
inline constexpr const char* kUsbTimeoutMessage = "Time out,please reconnect the device";

inline constexpr std::uint32_t kUsbBaudRate = 9600;
inline constexpr std::uint32_t kUsbReadTimeoutMs = 500;
inline constexpr std::uint32_t kUsbWriteTimeoutMs = 500;

// What the open sequence asks of the window.
struct UsbLinkUi {
    std::function<void(const std::string&)> showMessage;  // modal, OK, application title
    std::function<void()> showDisconnectedLook;           // USB up, "USB CONNECTION", COM shown
    std::function<void()> stopPolling;                    // Timer1 off
};

// The USB frame assembler's two entry points.
struct UsbFrameSink {
    std::function<bool(std::uint8_t)> addUsbByte;  // true when the byte completed a group
    std::function<void()> resetUsbFrame;
};

class UsbLink {
public:
    explicit UsbLink(SiUsbLibrary& library);

    void setUi(UsbLinkUi ui) { ui_ = std::move(ui); }
    void setFrameSink(UsbFrameSink sink) { sink_ = std::move(sink); }
    // Told once per open device when the library reports it gone (SI_DEVICE_GONE from a
    // read: unplugged, hung up). The device stays open until the close sequence, as
    // every other failed read leaves it; UsbStatus stays non-zero meanwhile.
    void setOnDeviceLost(std::function<void(const std::string& cause)> handler) { onDeviceLost_ = std::move(handler); }
    bool DeviceLost() const { return deviceLost_; }

    // The open sequence, run right after USB went down and Timer1 was enabled.
    void usb_dllClick();
    // One Timer1 tick: at most one byte to the assembler. Never waits for the meter.
    void Timer1Timer();
    // Writes the two characters of a key code to the open device.
    void UsbSend(char first, char second);
    void UsbSend(const char* twoCharacters) { UsbSend(twoCharacters[0], twoCharacters[1]); }
    // The close sequence, run after USB went up and Timer1 was disabled.
    void Close();
    // After the device was lost: closes the old handle and opens device 0 again with the
    // open sequence's settings, without a message. True when it is open again.
    bool Reopen();

    SI_HANDLE UsbHandle() const { return usbHandle_; }
    bool UsbOpen() const { return usbOpen_; }
    std::uint32_t UsbDeviceCount() const { return usbDeviceCount_; }
    SI_STATUS UsbStatus() const { return usbStatus_; }
    std::uint8_t UsbRxByte() const { return usbRxByte_; }
    std::uint32_t UsbRxCount() const { return usbRxCount_; }
    const std::array<std::uint8_t, 2>& UsbSendBuffer() const { return usbSendBuffer_; }
    std::uint32_t UsbSendCount() const { return usbSendCount_; }

private:
    void show(const char* message);
    void openDeviceZero(bool afterNotFound);

    SiUsbLibrary& library_;
    UsbLinkUi ui_;
    UsbFrameSink sink_;
    std::function<void(const std::string&)> onDeviceLost_;
    bool deviceLost_ = false;

    SI_HANDLE usbHandle_ = nullptr;
    bool usbOpen_ = false;
    std::uint32_t usbDeviceCount_ = 0;
    SI_STATUS usbStatus_ = SI_SUCCESS;
    std::uint8_t usbRxByte_ = 0;
    std::uint32_t usbRxCount_ = 0;
    std::array<std::uint8_t, 2> usbSendBuffer_{};
    std::uint32_t usbSendCount_ = 0;
};

} // namespace varnex
