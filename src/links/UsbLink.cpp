#include "links/UsbLink.h"

namespace varnex {

UsbLink::UsbLink(SiUsbLibrary& library) : library_(library) {}

void UsbLink::show(const char* message)
{
    if (ui_.showMessage)
        ui_.showMessage(message);
}

void UsbLink::usb_dllClick()
{
    usbDeviceCount_ = 0;
    usbOpen_ = false;
    const std::string unavailable = library_.UnavailableMessage();
    if (!unavailable.empty()) {
        // No library to ask: say so once and leave the connection, instead of two messages
        // about a device that nobody could look for.
        usbStatus_ = SI_DEVICE_NOT_FOUND;
        show(unavailable.c_str());
        if (ui_.showDisconnectedLook)
            ui_.showDisconnectedLook();
        if (ui_.stopPolling)
            ui_.stopPolling();
        return;
    }
    usbStatus_ = library_.SI_GetNumDevices(&usbDeviceCount_);
    if (usbStatus_ == SI_DEVICE_NOT_FOUND) {
        usbDeviceCount_ = 1;
        show(kUsbNotFoundMessage);
        // Device 0 is still tried: a bridge that enumerates late can open anyway. The
        // window keeps the connected look unless that open fails too.
        openDeviceZero(true);
        return;
    }
    if (usbDeviceCount_ == 1)
        openDeviceZero(false);
    // Any other count (none, or several bridges): nothing is opened, nothing is said.
}

void UsbLink::openDeviceZero(bool afterNotFound)
{
    usbStatus_ = library_.SI_Open(0, &usbHandle_);
    if (usbStatus_ != SI_SUCCESS) {
        usbHandle_ = nullptr;
        show(kUsbDriverMessage);
        if (afterNotFound) {
            // Nothing to poll: the window goes back to its disconnected look and Timer1
            // stops, so the two never disagree.
            if (ui_.showDisconnectedLook)
                ui_.showDisconnectedLook();
            if (ui_.stopPolling)
                ui_.stopPolling();
        }
        return;
    }
    usbOpen_ = true;
    deviceLost_ = false;
    usbStatus_ = library_.SI_SetBaudRate(usbHandle_, kUsbBaudRate);
    if (usbStatus_ != SI_SUCCESS) {
        show(kUsbTimeoutMessage);
        return; // stays open, time-outs not set
    }
    usbStatus_ = library_.SI_SetTimeouts(kUsbReadTimeoutMs, kUsbWriteTimeoutMs);
}

void UsbLink::Timer1Timer()
{
    usbStatus_ = library_.SI_Read(usbHandle_, &usbRxByte_, 1, &usbRxCount_, nullptr);
    if (usbStatus_ == SI_DEVICE_GONE && usbOpen_ && !deviceLost_) {
        deviceLost_ = true;
        if (onDeviceLost_)
            onDeviceLost_(library_.lastErrorText());
    }
    if (usbStatus_ != SI_SUCCESS) {
        // No byte this tick (or a device error): empty the bridge and the group. The
        // previous byte is not handed over again: that would corrupt the next frame.
        usbStatus_ = library_.SI_FlushBuffers(usbHandle_, 1, 1);
        if (sink_.resetUsbFrame)
            sink_.resetUsbFrame();
        return;
    }
    const bool groupComplete = sink_.addUsbByte ? sink_.addUsbByte(usbRxByte_) : false;
    if (groupComplete)
        usbStatus_ = library_.SI_FlushBuffers(usbHandle_, 1, 1);
}

void UsbLink::UsbSend(char first, char second)
{
    if (!usbOpen_)
        return;
    usbSendBuffer_ = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)};
    usbStatus_ = library_.SI_Write(usbHandle_, usbSendBuffer_.data(), 2, &usbSendCount_, nullptr);
}

bool UsbLink::Reopen()
{
    Close();
    usbDeviceCount_ = 0;
    usbStatus_ = library_.SI_GetNumDevices(&usbDeviceCount_);
    if (usbStatus_ != SI_SUCCESS || usbDeviceCount_ != 1)
        return false;
    usbStatus_ = library_.SI_Open(0, &usbHandle_);
    if (usbStatus_ != SI_SUCCESS) {
        usbHandle_ = nullptr;
        return false;
    }
    usbOpen_ = true;
    deviceLost_ = false;
    usbStatus_ = library_.SI_SetBaudRate(usbHandle_, kUsbBaudRate);
    if (usbStatus_ == SI_SUCCESS)
        usbStatus_ = library_.SI_SetTimeouts(kUsbReadTimeoutMs, kUsbWriteTimeoutMs);
    return true;
}

void UsbLink::Close()
{
    if (!usbOpen_)
        return;
    usbStatus_ = library_.SI_Close(usbHandle_);
    usbOpen_ = false;
    usbHandle_ = nullptr;
}

} // namespace varnex
