#pragma once
// The serial component's behaviour on a real port, one suite for every platform: each
// platform supplies a Line that gives the component a platform opened on "COM1" and plays
// the meter on the other end of that port (a pty master on POSIX, a second COM port
// wired to COM1 under Wine).
//
// A Line provides:
//   static std::string Name();
//   bool ready(std::string& why);
//   std::unique_ptr<SerialPlatform> makePlatform();       // COM1 reaches the meter's end
//   std::unique_ptr<PollTimer> makePollTimer();
//   void pointCom1AtMissingDevice(); void pointCom1AtMeter();
//   std::string lastError() const; std::string devicePath() const; std::string meterDevicePath() const;
//   std::intptr_t nativeHandle() const;                    // of the component's open port
//   bool rivalCanOpenCom1();                               // a second platform object tries COM1
//   bool systemRefusesASecondOpen(std::string& why) const;  // false where the OS allows it (Wine)
//   int bytesWaiting() const;                              // on the component's side
//   std::uint32_t currentBaud() const;                     // as the device reports it
//   void meterSends(const std::vector<std::uint8_t>&);
//   std::vector<std::uint8_t> meterReceives(std::size_t count, int timeoutMs = 1000);
//   void pumpEvents(int milliseconds);                     // the UI thread's event loop
#include "links/TCommPortDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace varnex::testing {

template <typename Line>
class CommPortLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        ASSERT_TRUE(line.ready(why)) << why;
        driver = std::make_unique<TCommPortDriver>(line.makePlatform(), line.makePollTimer());
        driver->SetComPort(pnCOM1);
        driver->SetComPortDataBits(db7BITS);
        driver->SetComPortStopBits(sb2BITS);
        driver->SetOnReceiveData([this](TCommPortDriver*, const std::uint8_t* data, int size) {
            batches.emplace_back(data, data + size);
        });
    }

    // The meter's bytes reach the component's side a moment after they were sent.
    bool waitUntilWaiting(int count, int timeoutMs = 2000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (line.bytesWaiting() >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    std::vector<std::uint8_t> received() const
    {
        std::vector<std::uint8_t> all;
        for (const auto& b : batches)
            all.insert(all.end(), b.begin(), b.end());
        return all;
    }

    Line line;
    std::unique_ptr<TCommPortDriver> driver;
    std::vector<std::vector<std::uint8_t>> batches;
};

TYPED_TEST_SUITE_P(CommPortLinkTest);

TYPED_TEST_P(CommPortLinkTest, MissingDeviceFailsQuietlyAndIsRetried)
{
    this->line.pointCom1AtMissingDevice();
    EXPECT_FALSE(this->driver->Connect());
    EXPECT_FALSE(this->driver->IsConnected());
    EXPECT_FALSE(this->driver->PollTimerActive());
    EXPECT_FALSE(this->line.lastError().empty());
    this->line.pointCom1AtMeter();
    EXPECT_TRUE(this->driver->Connect()) << this->line.lastError();
    EXPECT_TRUE(this->driver->IsConnected());
}

TYPED_TEST_P(CommPortLinkTest, ConnectWhileOpenKeepsThePort)
{
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    const auto handle = this->line.nativeHandle();
    EXPECT_TRUE(this->driver->Connect());
    EXPECT_EQ(this->line.nativeHandle(), handle);
}

TYPED_TEST_P(CommPortLinkTest, PortIsExclusiveAndFreedByDisconnect)
{
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    std::string why;
    if (this->line.systemRefusesASecondOpen(why))
        EXPECT_FALSE(this->line.rivalCanOpenCom1());
    else
        std::printf("(a second open is not refused here: %s)\n", why.c_str());
    this->driver->Disconnect();
    EXPECT_FALSE(this->driver->IsConnected());
    EXPECT_TRUE(this->line.rivalCanOpenCom1());
    EXPECT_TRUE(this->driver->Connect()) << this->line.lastError();
}

TYPED_TEST_P(CommPortLinkTest, ComPortIgnoredWhileOpen)
{
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    this->driver->SetComPort(pnCOM2);
    EXPECT_EQ(this->driver->ComPort(), pnCOM1);
    EXPECT_EQ(this->line.devicePath(), this->line.meterDevicePath());
}

TYPED_TEST_P(CommPortLinkTest, PollFindingThirtyBytesCallsTheHandlerOnce)
{
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    this->driver->PollReceive();
    EXPECT_TRUE(this->batches.empty());

    std::vector<std::uint8_t> thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back(static_cast<std::uint8_t>(0x30 + i));
    this->line.meterSends(thirty);
    ASSERT_TRUE(this->waitUntilWaiting(30));
    this->driver->PollReceive();
    ASSERT_EQ(this->batches.size(), 1u);
    EXPECT_EQ(this->batches[0], thirty);
    this->driver->PollReceive();
    EXPECT_EQ(this->batches.size(), 1u);
}

TYPED_TEST_P(CommPortLinkTest, PollTimerDeliversTheStreamInOrder)
{
    this->driver->SetComPortPollingDelay(5);
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    EXPECT_TRUE(this->driver->PollTimerActive());
    const std::vector<std::uint8_t> frame = {0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
                                             11, 12, 13, 14, 15, 16, 17, 18, 19, 0x0D};
    this->line.meterSends(frame);
    this->line.meterSends(frame);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (this->received().size() < 42 && std::chrono::steady_clock::now() < deadline)
        this->line.pumpEvents(5);
    std::vector<std::uint8_t> expected = frame;
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(this->received(), expected);
}

TYPED_TEST_P(CommPortLinkTest, DisconnectStopsThePoll)
{
    this->driver->SetComPortPollingDelay(5);
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    this->driver->Disconnect();
    EXPECT_FALSE(this->driver->PollTimerActive());
    this->line.meterSends({1, 2, 3});
    this->line.pumpEvents(200);
    EXPECT_TRUE(this->batches.empty());
}

TYPED_TEST_P(CommPortLinkTest, ChangingTheLineWhileOpenDiscardsUnreadInput)
{
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    this->line.meterSends({1, 2, 3, 4});
    ASSERT_TRUE(this->waitUntilWaiting(4));
    this->driver->SetComPortSpeed(br19200);
    this->driver->PollReceive();
    EXPECT_TRUE(this->batches.empty());
    EXPECT_EQ(this->line.currentBaud(), 19200u);
}

TYPED_TEST_P(CommPortLinkTest, SendDataPutsExactlyTheBytesOnTheWire)
{
    EXPECT_EQ(this->driver->OutFreeSpace(), -1);
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    const std::uint8_t dcv[] = {0x41, 0x41};
    EXPECT_EQ(this->driver->SendData(dcv, 2), 2);
    EXPECT_EQ(this->line.meterReceives(2), (std::vector<std::uint8_t>{0x41, 0x41}));
}

TYPED_TEST_P(CommPortLinkTest, SilentPollTickNeverTakesLong)
{
    ASSERT_TRUE(this->driver->Connect()) << this->line.lastError();
    // A tick that waited for data would take its read time-out every time; on a machine
    // shared with other builds the odd tick is late for reasons of its own, so 1 in 100 may be.
    auto worst = std::chrono::steady_clock::duration::zero();
    int slow = 0;
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        this->driver->PollReceive();
        const auto took = std::chrono::steady_clock::now() - start;
        worst = std::max(worst, took);
        if (took >= std::chrono::milliseconds(20))
            ++slow;
    }
    EXPECT_TRUE(this->batches.empty());
    ::testing::Test::RecordProperty(
        "worst_silent_poll_tick_us",
        static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(worst).count()));
    EXPECT_LE(slow, 2) << "silent ticks of 20 ms or more, out of 200";
}

REGISTER_TYPED_TEST_SUITE_P(CommPortLinkTest, MissingDeviceFailsQuietlyAndIsRetried, ConnectWhileOpenKeepsThePort,
                            PortIsExclusiveAndFreedByDisconnect, ComPortIgnoredWhileOpen,
                            PollFindingThirtyBytesCallsTheHandlerOnce, PollTimerDeliversTheStreamInOrder,
                            DisconnectStopsThePoll, ChangingTheLineWhileOpenDiscardsUnreadInput,
                            SendDataPutsExactlyTheBytesOnTheWire, SilentPollTickNeverTakesLong);

// Names the instantiation after the line: CommPortLinkTest/PosixPty.SendData...
struct LineName {
    template <typename Line>
    static std::string GetName(int)
    {
        return Line::Name();
    }
};

} // namespace varnex::testing
