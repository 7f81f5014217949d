#include "cli/SampleCommand.h"

#include "protocol/FrameEncoder.h"

namespace varnex::cli {

const char* const kSampleUsage = "sample [--usb]                          write a short meter capture";

namespace {

DisplayState State(char function, char range, const char* digits, int point)
{
    DisplayState s;
    s.function = function;
    s.range = range;
    s.mainDigits = digits;
    s.mainPoint = point;
    return s;
}

std::vector<DisplayState> SampleStates()
{
    std::vector<DisplayState> states;
    states.push_back(State('0', '1', "123456", 0)); // DCV 1.23456 V
    DisplayState negative = State('0', '0', "012340", 2);
    negative.negative = true;                      // DCV -012.340 mV
    states.push_back(negative);
    DisplayState ohmOverload = State('6', '3', "000000", 2);
    ohmOverload.overload = true;                   // OHM overload
    states.push_back(ohmOverload);
    DisplayState frequency = State('8', '0', "005000", 2);
    frequency.secondDigits = "0500";
    frequency.secondPoint = 1;                     // FRQ 005.000 KHz, second display 0.500 kHz
    states.push_back(frequency);
    states.push_back(State('1', '4', "023015", 3)); // ACV 0230.15 V in the 750 V range
    DisplayState held = State('3', '1', "012345", 2);
    held.status18 = 0x8;                           // DCI 012.345 mA, HOLD
    held.status19 = 0x3;                           // AUTO, REL
    states.push_back(held);
    states.push_back(State('7', '4', "001000", 3)); // CAP 0010.00 uF
    states.push_back(State('9', '0', "000120", 4)); // continuity 00012 ohm
    states.push_back(State('A', '0', "005123", 2)); // diode 005.12 V
    states.push_back(State('C', '0', "000000", 0)); // not a function code: rejected
    return states;
}

} // namespace

std::vector<std::uint8_t> SampleCapture(bool usb)
{
    std::vector<std::uint8_t> bytes;
    if (!usb) {
        bytes.push_back(0x0D);
        bytes.push_back(0x0A);
    }
    for (const DisplayState& state : SampleStates()) {
        const WireFrame frame = EncodeFrame(state);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

int RunSample(const std::vector<std::string>& args, const CommandIo& io)
{
    bool usb = false;
    for (const std::string& arg : args) {
        if (arg == "--usb") {
            usb = true;
        } else {
            std::fprintf(io.err, "varnex-cli sample: unknown argument %s\nusage: varnex-cli %s\n",
                         arg.c_str(), kSampleUsage);
            return kExitUsage;
        }
    }
    const auto bytes = SampleCapture(usb);
    std::fwrite(bytes.data(), 1, bytes.size(), io.out);
    std::fflush(io.out);
    return kExitOk;
}

} // namespace varnex::cli
