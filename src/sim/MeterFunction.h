#pragma once
// The meter's measuring functions, named by the code the meter sends at frame position 2.
namespace varnex::sim {

enum class MeterFunction : char {
    DcVolts = '0',
    AcVolts = '1',
    AcDcVolts = '2',
    DcAmps = '3',
    AcAmps = '4',
    AcDcAmps = '5',
    Ohms = '6',
    Capacitance = '7',
    Frequency = '8',
    Continuity = '9',
    Diode = 'A',
};

constexpr char CodeOf(MeterFunction f) { return static_cast<char>(f); }

constexpr bool IsVolts(MeterFunction f)
{
    return f == MeterFunction::DcVolts || f == MeterFunction::AcVolts || f == MeterFunction::AcDcVolts;
}

constexpr bool IsAmps(MeterFunction f)
{
    return f == MeterFunction::DcAmps || f == MeterFunction::AcAmps || f == MeterFunction::AcDcAmps;
}

// Functions whose second display shows the signal's frequency in kHz.
constexpr bool ShowsFrequencyBelow(MeterFunction f)
{
    return f == MeterFunction::AcVolts || f == MeterFunction::AcDcVolts || f == MeterFunction::AcAmps
        || f == MeterFunction::AcDcAmps || f == MeterFunction::Frequency;
}

} // namespace varnex::sim
