#pragma once
// What the user is told about a link beyond the fixed message boxes: the cause of a
// failed open with the hint a Linux user needs, the device a port name stands for, a
// line format the device did not take, a link that was lost. Shown on the connection
// indicator's and the link button's tooltip; failures also go to standard error.
#include "links/SerialPlatform.h"

#include <string>

namespace varnex {

class TCommPortDriver;
class UsbLink;
class SiUsbLibrary;

struct LinkReport {
    std::string tooltip;      // "" clears the tooltip
    std::string errorLine;    // one line for standard error; "" when all is well
};

// The hint for an open that failed with errno `error` ("" when there is none to give).
std::string OpenFailureHint(int error);

// "7N2", "8E1", "8N1.5".
std::string FramingText(const SerialLineSettings& settings);

// "" when the device holds the framing and rate asked for; else what it keeps.
std::string LineFormatNote(const SerialLineSettings& asked, const SerialLineSettings& inForce);

// After COMM2.Connect: the device and its line, or why it did not open.
LinkReport SerialConnectReport(const TCommPortDriver& driver, bool connected);
// After OnPortLost.
LinkReport SerialLostReport(const TCommPortDriver& driver, const std::string& cause);
// After the USB open sequence: the device chosen, or why none was opened.
LinkReport UsbOpenReport(const UsbLink& link, const SiUsbLibrary& library);
// After UsbLink's device-lost notice.
LinkReport UsbLostReport(const std::string& cause);

} // namespace varnex
