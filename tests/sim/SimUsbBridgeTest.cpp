// The USB library stand-in: device 0, bytes arriving by a fake clock at the meter's pace,
// flushes, key commands and the empty-handle rule.
#include "sim/SimUsbBridge.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace varnex::sim {
namespace {

using std::chrono::milliseconds;

class SimUsbBridgeTest : public ::testing::Test {
protected:
    SimTime now{0};
    std::shared_ptr<SharedMeter> meter = std::make_shared<SharedMeter>(5, [this] { return now; });
    SimUsbBridge bridge{meter, 9};
    SI_HANDLE handle = nullptr;

    void Open()
    {
        ASSERT_EQ(bridge.SI_Open(0, &handle), SI_SUCCESS);
        ASSERT_NE(handle, nullptr);
    }

    // Reads one byte at a time until the bridge has none; the bytes read.
    std::vector<std::uint8_t> Drain()
    {
        std::vector<std::uint8_t> bytes;
        for (;;) {
            std::uint8_t byte = 0;
            std::uint32_t got = 0;
            const SI_STATUS status = bridge.SI_Read(handle, &byte, 1, &got, nullptr);
            if (status == SI_RX_QUEUE_NOT_READY) {
                EXPECT_EQ(got, 0u);
                return bytes;
            }
            EXPECT_EQ(status, SI_SUCCESS);
            EXPECT_EQ(got, 1u);
            bytes.push_back(byte);
        }
    }

    MeterFunction Function() const
    {
        return meter->Read([](const MeterModel& m) { return m.Function(); });
    }
};

TEST_F(SimUsbBridgeTest, OffersOneDeviceNumberedZero)
{
    std::uint32_t count = 0;
    EXPECT_EQ(bridge.SI_GetNumDevices(&count), SI_SUCCESS);
    EXPECT_EQ(count, 1u);
    SI_HANDLE other = nullptr;
    EXPECT_EQ(bridge.SI_Open(1, &other), SI_DEVICE_NOT_FOUND);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(bridge.SI_GetNumDevices(nullptr), SI_INVALID_PARAMETER);
    EXPECT_EQ(bridge.SI_Open(0, nullptr), SI_INVALID_PARAMETER);
    Open();
    EXPECT_TRUE(bridge.IsOpen());
}

TEST_F(SimUsbBridgeTest, EmptyHandleCallsFailAndDoNothingElse)
{
    Open();
    now = bridge.NextFrameStart() + ByteArrivalOffset(4);  // five bytes waiting
    std::uint8_t byte = 0xEE;
    std::uint32_t count = 77;
    EXPECT_EQ(bridge.SI_Read(nullptr, &byte, 1, &count, nullptr), SI_INVALID_HANDLE);
    EXPECT_EQ(byte, 0xEE);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(bridge.SI_Write(nullptr, "BB", 2, &count, nullptr), SI_INVALID_HANDLE);
    EXPECT_EQ(count, 77u);
    EXPECT_EQ(bridge.SI_FlushBuffers(nullptr, 1, 1), SI_INVALID_HANDLE);
    EXPECT_EQ(bridge.SI_SetBaudRate(nullptr, 115200), SI_INVALID_HANDLE);
    EXPECT_EQ(bridge.SI_Close(nullptr), SI_INVALID_HANDLE);

    EXPECT_TRUE(bridge.IsOpen()) << "the open device was not closed";
    EXPECT_EQ(bridge.BaudRate(), 9600u);
    EXPECT_EQ(Function(), MeterFunction::DcVolts) << "the key never reached the meter";
    EXPECT_EQ(Drain().size(), 5u) << "nothing was flushed";
}

TEST_F(SimUsbBridgeTest, NoByteBeforeTheFirstFrameThenTwentyOneAtNineSixHundredBaud)
{
    Open();
    const SimTime start = bridge.NextFrameStart();
    EXPECT_GE(start, SimTime(milliseconds(300)));
    EXPECT_LE(start, SimTime(milliseconds(500)));

    now = start + ByteArrivalOffset(0) - SimTime(1);
    EXPECT_TRUE(Drain().empty()) << "the first byte is still on the wire";

    now = start + ByteArrivalOffset(9);
    EXPECT_EQ(Drain().size(), 10u) << "bytes arrive one every 1.04 ms";

    now = start + ByteArrivalOffset(20);
    const std::vector<std::uint8_t> rest = Drain();
    ASSERT_EQ(rest.size(), 11u);
    EXPECT_EQ(rest[9], 0x0D);
    EXPECT_EQ(rest[10], 0x0A);
    EXPECT_EQ(ByteArrivalOffset(20), SimTime(21875)) << "21 bytes of 10 bits at 9600 baud";
}

TEST_F(SimUsbBridgeTest, TheBytesAreTheFrameOfTheMetersDisplayAtThatTime)
{
    MeterModel twin(5);
    Open();
    const SimTime start = bridge.NextFrameStart();
    now = start + milliseconds(30);
    const std::vector<std::uint8_t> bytes = Drain();
    const WireFrame expected = EncodeFrame(twin.Sample(start));
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
}

TEST_F(SimUsbBridgeTest, ReadingEveryTenMillisecondsSeesAFrameEveryThreeToFiveHundred)
{
    Open();
    std::vector<SimTime> frameEnds;
    std::string text;
    for (int tick = 0; tick < 1000; ++tick) {  // ten seconds of the link's 10 ms timer
        now = SimTime(milliseconds(10 * tick));
        for (std::uint8_t byte : Drain()) {
            text += static_cast<char>(byte);
            if (byte == 0x0A)
                frameEnds.push_back(now);
        }
    }
    ASSERT_GE(frameEnds.size(), 19u);
    ASSERT_LE(frameEnds.size(), 34u);
    for (std::size_t i = 1; i < frameEnds.size(); ++i) {
        const SimTime gap = frameEnds[i] - frameEnds[i - 1];
        EXPECT_GE(gap, SimTime(milliseconds(290))) << i;
        EXPECT_LE(gap, SimTime(milliseconds(510))) << i;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool frameEnd = i % 21 == 20;
        ASSERT_EQ(text[i] == '\n', frameEnd) << "whole frames, nothing lost or doubled: byte " << i;
    }
}

TEST_F(SimUsbBridgeTest, FlushDiscardsWhatArrivedButNotWhatIsStillOnTheWire)
{
    Open();
    const SimTime start = bridge.NextFrameStart();
    now = start + ByteArrivalOffset(9);
    EXPECT_EQ(bridge.SI_FlushBuffers(handle, 1, 1), SI_SUCCESS);
    EXPECT_TRUE(Drain().empty());

    now = start + ByteArrivalOffset(20);
    const std::vector<std::uint8_t> tail = Drain();
    ASSERT_EQ(tail.size(), 11u) << "bytes 10..20 of the frame arrive after the flush";
    EXPECT_EQ(tail.back(), 0x0A);

    now += milliseconds(600);  // the next frame has arrived whole
    EXPECT_EQ(bridge.SI_FlushBuffers(handle, 0, 1), SI_SUCCESS);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(SimUsbBridgeTest, MultiByteReadsReturnWhatIsThere)
{
    Open();
    now = bridge.NextFrameStart() + ByteArrivalOffset(20);
    std::uint8_t buffer[64] = {};
    std::uint32_t got = 0;
    EXPECT_EQ(bridge.SI_Read(handle, buffer, 8, &got, nullptr), SI_SUCCESS);
    EXPECT_EQ(got, 8u);
    EXPECT_EQ(bridge.SI_Read(handle, buffer, 64, &got, nullptr), SI_SUCCESS);
    EXPECT_EQ(got, 13u);
    EXPECT_EQ(buffer[12], 0x0A);
    EXPECT_EQ(bridge.SI_Read(handle, buffer, 0, &got, nullptr), SI_INVALID_REQUEST_LENGTH);
}

TEST_F(SimUsbBridgeTest, KeyCommandsReachTheMeterEvenSplitAcrossWrites)
{
    Open();
    std::uint32_t written = 0;
    EXPECT_EQ(bridge.SI_Write(handle, "BB", 2, &written, nullptr), SI_SUCCESS);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(Function(), MeterFunction::AcVolts);

    EXPECT_EQ(bridge.SI_Write(handle, "H", 1, &written, nullptr), SI_SUCCESS);
    EXPECT_EQ(Function(), MeterFunction::AcVolts) << "half a command does nothing yet";
    EXPECT_EQ(bridge.SI_Write(handle, "H", 1, &written, nullptr), SI_SUCCESS);
    EXPECT_EQ(Function(), MeterFunction::Frequency);
    EXPECT_EQ(bridge.KeysReceived(), 2u);

    now = bridge.NextFrameStart() + milliseconds(30);
    const std::vector<std::uint8_t> frame = Drain();
    ASSERT_EQ(frame.size(), 21u);
    EXPECT_EQ(frame[0], 0x38) << "the next frame carries function 8";
}

TEST_F(SimUsbBridgeTest, CloseEndsTheHandleAndReopenStartsClean)
{
    Open();
    now = bridge.NextFrameStart() + ByteArrivalOffset(5);
    EXPECT_EQ(bridge.SI_Close(handle), SI_SUCCESS);
    EXPECT_FALSE(bridge.IsOpen());
    std::uint8_t byte = 0;
    std::uint32_t got = 0;
    EXPECT_EQ(bridge.SI_Read(handle, &byte, 1, &got, nullptr), SI_INVALID_HANDLE);
    EXPECT_EQ(bridge.SI_Close(handle), SI_INVALID_HANDLE) << "closed once only";

    Open();
    EXPECT_TRUE(Drain().empty()) << "nothing from before the close";
    EXPECT_GT(bridge.NextFrameStart(), now);
}

TEST_F(SimUsbBridgeTest, AnUnreadBufferOverrunsInsteadOfGrowing)
{
    Open();
    now = SimTime(std::chrono::seconds(200));  // about 500 frames; the buffer holds 195
    const std::vector<std::uint8_t> bytes = Drain();
    EXPECT_EQ(bytes.size(), SimUsbBridge::kReceiveCapacity);
    EXPECT_GT(bridge.OverrunBytes(), 0u);
    EXPECT_EQ(bytes[19], 0x0D) << "the oldest bytes are kept, frame-aligned";

    now += milliseconds(600);
    EXPECT_EQ(Drain().size() % 21, 0u) << "new frames arrive once there is room";
}

TEST_F(SimUsbBridgeTest, BaudRateAndTimeouts)
{
    Open();
    EXPECT_EQ(bridge.SI_SetBaudRate(handle, 9600), SI_SUCCESS);
    EXPECT_EQ(bridge.SI_SetBaudRate(handle, 0), SI_INVALID_BAUDRATE);
    EXPECT_EQ(bridge.BaudRate(), 9600u);
    EXPECT_EQ(bridge.SI_SetTimeouts(500, 500), SI_SUCCESS);
    EXPECT_EQ(bridge.ReadTimeoutMs(), 500u);
    EXPECT_EQ(bridge.WriteTimeoutMs(), 500u);

    EXPECT_EQ(bridge.SI_SetBaudRate(handle, 115200), SI_SUCCESS);
    now = bridge.NextFrameStart() + milliseconds(30);
    const std::vector<std::uint8_t> garbled = Drain();
    ASSERT_EQ(garbled.size(), 21u);
    EXPECT_EQ(garbled, std::vector<std::uint8_t>(21, 0)) << "at the wrong speed only framing errors arrive";
}

} // namespace
} // namespace varnex::sim
