#pragma once
// Sends a key's two-letter command through the link whose button is down.
#include "keypad/KeyTable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

inline constexpr const char* kComNotOpenMessage = "COM Port is not opened yet!";
inline constexpr const char* kUsbNotConnectedMessage = "USB device  is not connected yet!";

// The serial link as the keypad sees it (COMM2).
class SerialKeyLink {
public:
    virtual ~SerialKeyLink() = default;
    virtual bool isConnected() const = 0;
    virtual void sendData(const std::uint8_t* data, int size) = 0;
};

// The USB link as the keypad sees it: UsbSend and UsbStatus.
class UsbKeyLink {
public:
    virtual ~UsbKeyLink() = default;
    virtual void send(char first, char second) = 0;
    virtual std::int32_t status() const = 0;
};

// Modal error box with one OK button.
class KeypadMessages {
public:
    virtual ~KeypadMessages() = default;
    virtual void showError(const std::string& text) = 0;
};

// Which link button is down (they exclude each other; both may be up).
struct LinkButtons {
    bool comConDown = false;
    bool usbDown = false;
};

class KeypadRouter {
public:
    KeypadRouter(SerialKeyLink& serial, UsbKeyLink& usb, KeypadMessages& messages);

    // A left click on any key but the calibration circle.
    void SendKeyCode(std::string_view code, LinkButtons buttons);
    // A right click on the calibration circle: serial only, whatever button is down.
    void SendCalibration();
    // A mouse click on a key of the table: picks the rule above, or nothing when the
    // key does not act on that button.
    void press(const KeyDefinition& key, KeyTrigger button, LinkButtons buttons);

private:
    SerialKeyLink& serial_;
    UsbKeyLink& usb_;
    KeypadMessages& messages_;
};

} // namespace varnex
