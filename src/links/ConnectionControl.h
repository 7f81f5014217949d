#pragma once
// The user's side of the links: COMCon and USB toggle buttons, the COM port selector,
// ConTimer's clock and data indicator. Plain logic; the window mirrors view() onto
// its widgets and binds the actions to COMM2 and the USB link.
#include "links/ComPortTypes.h"
#include "links/ConnectionIndicator.h"
#include "links/ConnectionMode.h"
#include "links/ConnectionViewState.h"

#include <QDateTime>

#include <functional>

namespace varnex {

struct ConnectionActions {
    std::function<bool()> connectSerial;                      // COMM2.Connect
    std::function<void()> disconnectSerial;                   // COMM2.Disconnect
    std::function<void(TComPortNumber)> selectSerialPort;     // COMM2.ComPort :=
    std::function<void()> openUsb;                            // usb_dllClick
    std::function<void()> closeUsb;                           // USB close sequence
};

class ConnectionControl {
public:
    explicit ConnectionControl(ConnectionActions actions = {});

    void setActions(ConnectionActions actions) { actions_ = std::move(actions); }
    // Called after every change of view(), also in the middle of a handler (before the
    // USB open sequence shows its messages, so Timer1 runs meanwhile).
    void setViewChanged(std::function<void(const ConnectionViewState&)> onChange) { viewChanged_ = std::move(onChange); }

    // A click on COMCon or USB; down is the button's state after the click.
    void COMConClick(bool down);
    void USBClick(bool down);
    // A click on the port panel: each handler acts only while its panel is the visible,
    // enabled one (BtCOM1 runs COM21Click, ... BtCOM4 runs COM11Click).
    void COM11Click();
    void COM21Click();
    void COM31Click();
    void COM41Click();
    // Whichever panel shows: the click that the user can make.
    void clickPortPanel();

    // The USB open sequence gave up after "not found": back to the idle look.
    void usbShowDisconnectedLook();
    void usbStopPolling();

    // ConTimer tick with the current local time.
    void ConTimerTimer(const QDateTime& now);
    // The decoder marks the link alive at the start of every decoded frame.
    void frameDecoded();

    const ConnectionViewState& view() const { return view_; }
    ConnectionMode mode() const;
    TComPortNumber selectedPort() const { return selectedPort_; }
    int frameWatchdogTicks() const { return watchdog_.ticks(); }

private:
    void selectPort(TComPortNumber port);
    void portPanelClick(TComPortNumber panel, TComPortNumber next);
    void showPortSelector(bool visible);
    void enablePortSelector(bool enabled);
    void toIdleLook();
    void changed();

    ConnectionActions actions_;
    std::function<void(const ConnectionViewState&)> viewChanged_;
    ConnectionViewState view_;
    TComPortNumber selectedPort_ = pnCOM1;
    FrameWatchdog watchdog_;
};

} // namespace varnex
