#include "links/ConnectionWiring.h"

namespace varnex {

void ApplyComm2Defaults(TCommPortDriver& comm2)
{
    comm2.SetComPort(pnCOM1);
    comm2.SetComPortDataBits(db7BITS);
    comm2.SetComPortStopBits(sb2BITS);
}

ConnectionActions BindConnectionActions(TCommPortDriver& comm2, UsbLink& usb)
{
    ConnectionActions actions;
    actions.connectSerial = [&comm2] { return comm2.Connect(); };
    actions.disconnectSerial = [&comm2] { comm2.Disconnect(); };
    actions.selectSerialPort = [&comm2](TComPortNumber port) { comm2.SetComPort(port); };
    actions.openUsb = [&usb] { usb.usb_dllClick(); };
    actions.closeUsb = [&usb] { usb.Close(); };
    return actions;
}

UsbLinkUi BindUsbLinkUi(ConnectionControl& control, std::function<void(const std::string&)> showMessage)
{
    UsbLinkUi ui;
    ui.showMessage = std::move(showMessage);
    ui.showDisconnectedLook = [&control] { control.usbShowDisconnectedLook(); };
    ui.stopPolling = [&control] { control.usbStopPolling(); };
    return ui;
}

} // namespace varnex
