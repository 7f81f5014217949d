#include "links/LinkDiagnostics.h"

#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"

#include <cerrno>

namespace varnex {

std::string OpenFailureHint(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "add your user to the dialout group and log in again";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "use /dev/serial/by-id/… for a USB adapter (varnex --com1 PATH)";
    case EBUSY:
        return "close the other program that uses it";
    case ENOTTY:
        return "name a serial device with --com1 PATH … --com4 PATH";
    case EIO:
        return "no port answers there; use /dev/serial/by-id/… for a USB adapter";
    default:
        return {};
    }
}

std::string FramingText(const SerialLineSettings& s)
{
    static const char parity[] = {'N', 'O', 'E', 'M', 'S'};
    const char* stop = s.stopBits == sb1BITS ? "1" : (s.stopBits == sb1HALFBITS ? "1.5" : "2");
    return std::to_string(s.dataBits) + parity[static_cast<int>(s.parity)] + stop;
}

std::string LineFormatNote(const SerialLineSettings& asked, const SerialLineSettings& inForce)
{
    if (inForce.dataBits != asked.dataBits && inForce.parity == asked.parity && inForce.stopBits == asked.stopBits &&
        inForce.baudRate == asked.baudRate) {
        return "The device keeps " + std::to_string(inForce.dataBits) + " data bits (" +
               std::to_string(asked.dataBits) + " asked for): readings are received, but keys sent with " +
               std::to_string(inForce.dataBits) + " bits may reach a " + FramingText(asked) +
               " meter with framing errors.";
    }
    if (FramingText(inForce) != FramingText(asked) || inForce.baudRate != asked.baudRate) {
        return "The device runs " + std::to_string(inForce.baudRate) + " baud " + FramingText(inForce) + " (" +
               std::to_string(asked.baudRate) + " baud " + FramingText(asked) + " asked for).";
    }
    return {};
}

namespace {
std::string joinHint(const std::string& cause, int error, const char* separator)
{
    const std::string hint = OpenFailureHint(error);
    return hint.empty() ? cause : cause + separator + hint;
}
} // namespace

LinkReport SerialConnectReport(const TCommPortDriver& driver, bool connected)
{
    const std::string port = ComPortDeviceName(driver.ComPort());
    LinkReport report;
    if (!connected) {
        const std::string cause = port + " could not be opened: " + driver.LastError();
        report.tooltip = joinHint(cause, driver.LastErrorNumber(), "\nHint: ");
        report.errorLine = joinHint(cause, driver.LastErrorNumber(), "; ");
        return report;
    }
    const SerialLineSettings asked = driver.LineSettings();
    const SerialLineSettings held = driver.LineSettingsInForce().value_or(asked);
    report.tooltip = port + ": " + driver.DevicePath() + ", " + std::to_string(held.baudRate) + " baud " +
                     FramingText(held);
    const std::string note = LineFormatNote(asked, held);
    if (!note.empty())
        report.tooltip += "\n" + note;
    return report;
}

LinkReport SerialLostReport(const TCommPortDriver& driver, const std::string& cause)
{
    const std::string text = std::string(ComPortDeviceName(driver.ComPort())) + " was lost: " + cause;
    return LinkReport{text, text};
}

LinkReport UsbOpenReport(const UsbLink& link, const SiUsbLibrary& library)
{
    LinkReport report;
    const std::string devices = library.describeDevices();
    if (link.UsbOpen() && link.UsbStatus() == SI_SUCCESS) {
        report.tooltip = devices;
        return report;
    }
    // Why nothing (or nothing usable) was opened: the devices seen, then the cause.
    std::string cause = devices;
    const std::string error = library.lastErrorText();
    if (!error.empty() && error != devices)
        cause = cause.empty() ? error : cause + "\n" + error;
    if (cause.empty())
        cause = "USB bridge status " + std::to_string(link.UsbStatus());
    report.tooltip = cause;
    // One line on standard error.
    std::string line;
    for (char c : cause)
        line += c == '\n' ? std::string("; ") : std::string(1, c);
    report.errorLine = line;
    return report;
}

LinkReport UsbLostReport(const std::string& cause)
{
    const std::string text = "The USB bridge was lost: " + cause;
    return LinkReport{text, text};
}

} // namespace varnex
