#pragma once
// What the window's links reach: the serial device names and the USB library. With
// --simulate it also owns the simulated meter, streaming on a pseudo-terminal that COM1
// is mapped to and answering as device 0 of the USB library.
#include "app/AppOptions.h"
#include "links/SerialPortNames.h"
#include "links/SiUsbLibrary.h"

#include <memory>

namespace varnex {
namespace sim {
class SharedMeter;
class PtyMeter;
} // namespace sim

class MeterEnvironment {
public:
    // The real machine: COM ports from the names, USB through the CP210x ttys.
    explicit MeterEnvironment(SerialPortNames names);
    // Any USB library (tests pass a scripted one).
    MeterEnvironment(SerialPortNames names, std::unique_ptr<SiUsbLibrary> usb);
    ~MeterEnvironment();

    // The simulated meter on COM1 and USB device 0. Throws std::system_error when the
    // system has no pseudo-terminal to give.
    static std::unique_ptr<MeterEnvironment> Simulated(SerialPortNames names, bool paceBytes = true);
    static std::unique_ptr<MeterEnvironment> FromOptions(const AppOptions& options);

    const SerialPortNames& portNames() const { return names_; }
    SiUsbLibrary& usbLibrary() { return *usb_; }
    // The simulated meter, or null on the real machine.
    sim::SharedMeter* simulatedMeter() const { return meter_.get(); }
    sim::PtyMeter* simulatedPty() const { return pty_.get(); }

private:
    SerialPortNames names_;
    std::shared_ptr<sim::SharedMeter> meter_;
    std::unique_ptr<sim::PtyMeter> pty_;
    std::unique_ptr<SiUsbLibrary> usb_;
};

} // namespace varnex
