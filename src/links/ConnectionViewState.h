#pragma once
// What the connection bar, the LCD panel's indicator and clock, and Timer1 show right
// now. The window copies it onto its widgets after every change.
#include "links/ComPortTypes.h"
#include "links/ConnectionIndicator.h"

#include <QString>

#include <array>

namespace varnex {

struct ControlLook {
    bool visible = true;
    bool enabled = true;
    bool operator==(const ControlLook& o) const { return visible == o.visible && enabled == o.enabled; }
    bool operator!=(const ControlLook& o) const { return !(*this == o); }
};

inline constexpr const char* kComConCaption = "COM CONNECTION";
inline constexpr const char* kUsbStartCaption = " USB CONNECTION ";
inline constexpr const char* kUsbDownCaption = "USB DISCONNECTION";
inline constexpr const char* kUsbUpCaption = "USB CONNECTION";
inline constexpr const char* kQuitQuestion = "Are you ensure to exit the program?";

// "COM 1" .. "COM 4".
QString PortPanelCaption(TComPortNumber port);

struct ConnectionViewState {
    std::array<ControlLook, 4> btCom{};  // BtCOM1..BtCOM4
    bool comConDown = false;
    ControlLook comCon{};
    bool usbDown = false;
    ControlLook usb{};
    QString usbCaption = QString::fromLatin1(kUsbStartCaption);
    bool timer1Enabled = false;
    bool conOkVisible = false;  // CONok; CONokN is its opposite
    QString clockText = QString::fromLatin1(kClockInitialText);
};

} // namespace varnex
