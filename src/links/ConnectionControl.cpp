#include "links/ConnectionControl.h"

namespace varnex {

QString PortPanelCaption(TComPortNumber port)
{
    return QStringLiteral("COM %1").arg(static_cast<int>(port) + 1);
}

ConnectionControl::ConnectionControl(ConnectionActions actions) : actions_(std::move(actions))
{
    showPortSelector(true);
    enablePortSelector(true);
    view_.conOkVisible = watchdog_.dataShown();
}

ConnectionMode ConnectionControl::mode() const
{
    if (view_.comConDown)
        return ConnectionMode::Com;
    if (view_.usbDown)
        return ConnectionMode::Usb;
    return ConnectionMode::Idle;
}

void ConnectionControl::changed()
{
    if (viewChanged_)
        viewChanged_(view_);
}

void ConnectionControl::showPortSelector(bool visible)
{
    for (std::size_t i = 0; i < view_.btCom.size(); ++i)
        view_.btCom[i].visible = visible && i == static_cast<std::size_t>(selectedPort_);
}

void ConnectionControl::enablePortSelector(bool enabled)
{
    for (auto& panel : view_.btCom)
        panel.enabled = enabled;
}

void ConnectionControl::COMConClick(bool down)
{
    if (!view_.comCon.visible || down == view_.comConDown)
        return;
    view_.comConDown = down;
    if (down) {
        view_.usb.visible = false;
        changed();
        if (actions_.connectSerial)
            (void)actions_.connectSerial(); // a port that will not open leaves COMCon down
        enablePortSelector(false);
    } else {
        view_.usb.visible = true;
        changed();
        if (actions_.disconnectSerial)
            actions_.disconnectSerial();
        enablePortSelector(true);
    }
    changed();
}

void ConnectionControl::USBClick(bool down)
{
    if (!view_.usb.visible || down == view_.usbDown)
        return;
    view_.usbDown = down;
    if (down) {
        view_.timer1Enabled = true;
        view_.usbCaption = QString::fromLatin1(kUsbDownCaption);
        view_.comCon.visible = false;
        showPortSelector(false);
        changed();
        if (actions_.openUsb)
            actions_.openUsb();
    } else {
        view_.comCon.visible = true;
        showPortSelector(true);
        view_.usbCaption = QString::fromLatin1(kUsbUpCaption);
        view_.timer1Enabled = false;
        changed();
        if (actions_.closeUsb)
            actions_.closeUsb();
    }
}

void ConnectionControl::toIdleLook()
{
    view_.usbDown = false;
    view_.usb.visible = true;
    view_.usbCaption = QString::fromLatin1(kUsbUpCaption);
    view_.comCon.visible = true;
    showPortSelector(true);
}

void ConnectionControl::usbShowDisconnectedLook()
{
    toIdleLook();
    changed();
}

void ConnectionControl::usbStopPolling()
{
    view_.timer1Enabled = false;
    changed();
}

void ConnectionControl::selectPort(TComPortNumber port)
{
    selectedPort_ = port;
    showPortSelector(true);
    if (actions_.selectSerialPort)
        actions_.selectSerialPort(port);
    changed();
}

void ConnectionControl::portPanelClick(TComPortNumber panel, TComPortNumber next)
{
    const ControlLook& look = view_.btCom[static_cast<std::size_t>(panel)];
    if (!look.visible || !look.enabled)
        return; // the port never changes under an open connection
    selectPort(next);
}

void ConnectionControl::COM21Click() { portPanelClick(pnCOM1, pnCOM2); }
void ConnectionControl::COM31Click() { portPanelClick(pnCOM2, pnCOM3); }
void ConnectionControl::COM41Click() { portPanelClick(pnCOM3, pnCOM4); }
void ConnectionControl::COM11Click() { portPanelClick(pnCOM4, pnCOM1); }

void ConnectionControl::clickPortPanel()
{
    switch (selectedPort_) {
    case pnCOM1: COM21Click(); break;
    case pnCOM2: COM31Click(); break;
    case pnCOM3: COM41Click(); break;
    case pnCOM4: COM11Click(); break;
    }
}

void ConnectionControl::ConTimerTimer(const QDateTime& now)
{
    view_.clockText = FormatConnectionClock(now);
    watchdog_.tick();
    view_.conOkVisible = watchdog_.dataShown();
    changed();
}

void ConnectionControl::frameDecoded()
{
    const bool wasShown = view_.conOkVisible;
    watchdog_.frameDecoded();
    view_.conOkVisible = watchdog_.dataShown();
    if (!wasShown)
        changed();
}

} // namespace varnex
