#include "app/MeterEnvironment.h"

#include "links/Cp210xTtyLibrary.h"
#include "sim/PtyMeter.h"
#include "sim/SharedMeter.h"
#include "sim/SimUsbBridge.h"

#include <chrono>
#include <random>

namespace varnex {

MeterEnvironment::MeterEnvironment(SerialPortNames names)
    : MeterEnvironment(std::move(names), std::make_unique<Cp210xTtyLibrary>())
{
}

MeterEnvironment::MeterEnvironment(SerialPortNames names, std::unique_ptr<SiUsbLibrary> usb)
    : names_(std::move(names)), usb_(std::move(usb))
{
}

MeterEnvironment::~MeterEnvironment()
{
    // The pty's worker goes before the meter it reads.
    pty_.reset();
    usb_.reset();
}

std::unique_ptr<MeterEnvironment> MeterEnvironment::Simulated(SerialPortNames names, bool paceBytes)
{
    const auto seed = static_cast<std::uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0xffffffffu);
    auto meter = std::make_shared<sim::SharedMeter>(seed);
    sim::PtyMeterOptions ptyOptions;
    ptyOptions.paceBytes = paceBytes;
    auto pty = std::make_unique<sim::PtyMeter>(meter, ptyOptions);
    names.setOverride(pnCOM1, pty->slavePath());
    auto env = std::make_unique<MeterEnvironment>(std::move(names), std::make_unique<sim::SimUsbBridge>(meter));
    env->meter_ = std::move(meter);
    env->pty_ = std::move(pty);
    return env;
}

std::unique_ptr<MeterEnvironment> MeterEnvironment::FromOptions(const AppOptions& options)
{
    if (options.simulate)
        return Simulated(options.portNames);
    return std::make_unique<MeterEnvironment>(options.portNames);
}

} // namespace varnex
