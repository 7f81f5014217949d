#pragma once
// Binds the connection controls to COMM2 and the USB link, the way the main window
// uses them, so the window only adds its widgets and message boxes.
#include "links/ConnectionControl.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"

#include <functional>
#include <string>

namespace varnex {

// COMM2's stored values over the component defaults: COM1, 7 data bits, 2 stop bits
// (9600 baud, no parity, no handshaking stay as they are).
void ApplyComm2Defaults(TCommPortDriver& comm2);

// COMConClick -> Connect/Disconnect, the port selector -> ComPort, USBClick ->
// usb_dllClick / Close.
ConnectionActions BindConnectionActions(TCommPortDriver& comm2, UsbLink& usb);

// The USB open sequence's messages go to showMessage; its "give up" brings the
// connection bar back to idle and Timer1 off.
UsbLinkUi BindUsbLinkUi(ConnectionControl& control, std::function<void(const std::string&)> showMessage);

} // namespace varnex
