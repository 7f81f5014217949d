// The simulated meter behind the program's own links: the serial component on the pty with
// the meter's line format, and the USB link on the bridge stand-in, each feeding the frame
// assembler and the decoder as the window does.
#include "links/PosixSerialPlatform.h"
#include "links/SerialPortNames.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"
#include "protocol/Decoder.h"
#include "protocol/FrameAssembler.h"
#include "sim/SimulatedMeter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace varnex::sim {
namespace {

using namespace std::chrono_literals;

// Decodes every frame the assembler passes, keeping the readings.
struct DecodedReadings {
    Reading current;
    std::vector<Reading> readings;
    FrameAssembler assembler{[this](const std::string& frameText) {
        const DecodeResult result = DecodeFrame(frameText, current, ".");
        current = result.reading;
        if (result.decoded)
            readings.push_back(result.reading);
    }};
};

void RunEventsFor(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(5ms);
    }
}

TEST(SimOverSerialLink, Comm2OnThePtyDecodesFramesAndSendsKeys)
{
    SimulatedMeter sim(4);
    SerialPortNames names;
    names.setOverride(pnCOM1, sim.ComPortPath());
    TCommPortDriver comm2(std::make_unique<PosixSerialPlatform>(names));
    comm2.SetComPort(pnCOM1);
    comm2.SetComPortDataBits(db7BITS);
    comm2.SetComPortStopBits(sb2BITS);
    DecodedReadings decoded;
    comm2.SetOnReceiveData([&decoded](TCommPortDriver*, const std::uint8_t* data, int size) {
        decoded.assembler.VarnexData(data, static_cast<std::size_t>(size));
    });
    ASSERT_TRUE(comm2.Connect()) << sim.ComPortPath();

    RunEventsFor(1300ms);
    ASSERT_GE(decoded.readings.size(), 2u);
    EXPECT_GE(decoded.readings.size() + 1, sim.Pty().FramesSent()) << "no frame sent to the open port is lost";
    EXPECT_EQ(decoded.readings.back().FunctionText, "DCV");
    EXPECT_EQ(decoded.readings.back().UnitText, "V");
    EXPECT_NEAR(decoded.readings.back().ChartValue, 1.2346, 0.002);

    EXPECT_EQ(comm2.SendData("GG", 2), 2);
    RunEventsFor(1100ms);
    EXPECT_EQ(decoded.readings.back().FunctionText, "CAP");
    EXPECT_EQ(decoded.readings.back().UnitText, "nF");
    comm2.Disconnect();
}

TEST(SimOverUsbLink, TheLinksTimerTicksDecodeFramesAndKeysReachTheMeter)
{
    SimTime now{0};
    SimulatedMeter sim(4, [&now] { return now; });
    UsbLink link(sim.UsbLibrary());
    std::vector<std::string> messages;
    link.setUi({[&messages](const std::string& m) { messages.push_back(m); }, [] {}, [] {}});
    DecodedReadings decoded;
    link.setFrameSink({[&decoded](std::uint8_t b) { return decoded.assembler.AddUsbByte(b); },
                       [&decoded] { decoded.assembler.ResetUsbFrame(); }});

    link.usb_dllClick();
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(link.UsbOpen());
    EXPECT_EQ(sim.UsbBridge().BaudRate(), 9600u);
    EXPECT_EQ(sim.UsbBridge().ReadTimeoutMs(), 500u);

    auto tick = [&](int count) {
        for (int i = 0; i < count; ++i) {
            now += std::chrono::milliseconds(10);
            link.Timer1Timer();
        }
    };
    tick(1000);  // ten seconds of Timer1
    EXPECT_GE(decoded.readings.size(), 19u) << "every frame of the meter decodes";
    EXPECT_EQ(decoded.assembler.FramesRejected(), 0u);
    EXPECT_EQ(decoded.readings.back().FunctionText, "DCV");

    link.UsbSend("HH");
    EXPECT_EQ(link.UsbSendCount(), 2u);
    tick(100);
    EXPECT_EQ(decoded.readings.back().FunctionText, "FRQ");
    EXPECT_EQ(decoded.readings.back().Unit2Text, "KHz");

    link.Close();
    EXPECT_FALSE(sim.UsbBridge().IsOpen());
}

// A day of Timer1 ticks: the link reads 21 bytes in 210 ms, well inside the meter's
// shortest gap, so not one frame of the meter may go undecoded.
TEST(SimOverUsbLink, ADayOfTicksDecodesEveryFrameTheMeterSent)
{
    SimTime now{0};
    SimulatedMeter sim(6, [&now] { return now; });
    UsbLink link(sim.UsbLibrary());
    link.setUi({[](const std::string&) {}, [] {}, [] {}});
    DecodedReadings decoded;
    link.setFrameSink({[&decoded](std::uint8_t b) { return decoded.assembler.AddUsbByte(b); },
                       [&decoded] { decoded.assembler.ResetUsbFrame(); }});
    link.usb_dllClick();
    ASSERT_TRUE(link.UsbOpen());

    const int ticks = 24 * 360000;
    for (int i = 0; i < ticks; ++i) {
        now += std::chrono::milliseconds(10);
        link.Timer1Timer();
        if (i == ticks / 2)
            link.UsbSend("EE");  // half a day in: resistance, with its open leads every minute
    }
    const std::size_t arrived = sim.UsbBridge().FramesArrived();
    EXPECT_GE(arrived, 86400u * 2);  // one every 300-500 ms
    EXPECT_LE(arrived, 86400u * 10 / 3);
    EXPECT_GE(decoded.readings.size() + 1, arrived) << "at most the frame being read at the end is missing";
    EXPECT_LE(decoded.readings.size(), arrived);
    EXPECT_EQ(decoded.assembler.FramesRejected(), 0u);
    EXPECT_EQ(sim.UsbBridge().OverrunBytes(), 0u);
    EXPECT_EQ(decoded.readings.back().FunctionText, "ohm");
}

TEST(SimulatedMeter, OneMeterBehindBothCables)
{
    SimulatedMeter sim(4);
    SI_HANDLE handle = nullptr;
    ASSERT_EQ(sim.UsbLibrary().SI_Open(0, &handle), SI_SUCCESS);
    std::uint32_t written = 0;
    ASSERT_EQ(sim.UsbLibrary().SI_Write(handle, "EE", 2, &written, nullptr), SI_SUCCESS);
    EXPECT_EQ(sim.Meter().Read([](const MeterModel& m) { return m.Function(); }), MeterFunction::Ohms);
    EXPECT_EQ(sim.ComPortPath().rfind("/dev/pts/", 0), 0u);
}

} // namespace
} // namespace varnex::sim
