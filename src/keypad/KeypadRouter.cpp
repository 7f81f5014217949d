#include "keypad/KeypadRouter.h"

namespace varnex {

KeypadRouter::KeypadRouter(SerialKeyLink& serial, UsbKeyLink& usb, KeypadMessages& messages)
    : serial_(serial), usb_(usb), messages_(messages)
{
}

void KeypadRouter::SendKeyCode(std::string_view code, LinkButtons buttons)
{
    if (code.size() != 2)
        return;
    if (buttons.comConDown) {
        if (serial_.isConnected()) {
            const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(code[0]), static_cast<std::uint8_t>(code[1])};
            serial_.sendData(bytes, 2);
        } else {
            messages_.showError(kComNotOpenMessage);
        }
    }
    if (buttons.usbDown) {
        // DCI alone looks at the last USB status first.
        if (code == kDciCode && usb_.status() != 0) {
            messages_.showError(kUsbNotConnectedMessage);
            return;
        }
        usb_.send(code[0], code[1]);
    }
}

void KeypadRouter::SendCalibration()
{
    if (!serial_.isConnected()) {
        messages_.showError(kComNotOpenMessage);
        return;
    }
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(kCalibrationCode[0]),
                                   static_cast<std::uint8_t>(kCalibrationCode[1])};
    serial_.sendData(bytes, 2);
}

void KeypadRouter::press(const KeyDefinition& key, KeyTrigger button, LinkButtons buttons)
{
    if (button != key.trigger)
        return;
    if (key.code == kCalibrationCode)
        SendCalibration();
    else
        SendKeyCode(key.code, buttons);
}

} // namespace varnex
