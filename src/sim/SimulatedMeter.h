#pragma once
// The simulated meter as the program's --simulate mode uses it: one meter with two cables.
// The serial cable is a pseudo-terminal whose device the program opens as COM1; the USB
// cable is device 0 of a stand-in for the bridge maker's library. Keys sent down either
// cable act on the same meter.
//
//   SimulatedMeter sim;
//   names.setOverride(pnCOM1, sim.ComPortPath());   // before COMM2 is made
//   UsbLink usb(sim.UsbLibrary());
#include "links/SiUsbLibrary.h"
#include "sim/PtyMeter.h"
#include "sim/SharedMeter.h"
#include "sim/SimUsbBridge.h"

#include <cstdint>
#include <memory>
#include <string>

namespace varnex::sim {

class SimulatedMeter {
public:
    // Starts the meter streaming on its pty. Throws std::system_error when the system
    // cannot give a pseudo-terminal.
    explicit SimulatedMeter(std::uint32_t seed = 1, SimClock clock = SteadySimClock());

    const std::string& ComPortPath() const { return pty_.slavePath(); }
    SiUsbLibrary& UsbLibrary() { return usb_; }
    SimUsbBridge& UsbBridge() { return usb_; }
    PtyMeter& Pty() { return pty_; }
    SharedMeter& Meter() { return *meter_; }

private:
    std::shared_ptr<SharedMeter> meter_;
    PtyMeter pty_;
    SimUsbBridge usb_;
};

} // namespace varnex::sim
