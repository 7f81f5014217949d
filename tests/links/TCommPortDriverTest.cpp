// TCommPortDriver at the platform seam: what it asks the operating system for.
#include "FakeSerialPlatform.h"
#include "links/TCommPortDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace varnex {
namespace {

using testing::FakeSerialPlatform;

class CommPortDriverTest : public ::testing::Test {
protected:
    CommPortDriverTest() : driver(std::make_unique<FakeSerialPlatform>(rec)) {}

    // COMM2 as the main window sets it up.
    void setUpAsComm2()
    {
        driver.SetComPort(pnCOM1);
        driver.SetComPortDataBits(db7BITS);
        driver.SetComPortStopBits(sb2BITS);
    }

    FakeSerialPlatform::Record rec;
    TCommPortDriver driver;
};

TEST_F(CommPortDriverTest, ComponentDefaults)
{
    EXPECT_EQ(driver.ComPort(), pnCOM2);
    EXPECT_EQ(driver.ComPortSpeed(), br9600);
    EXPECT_EQ(driver.ComPortDataBits(), db8BITS);
    EXPECT_EQ(driver.ComPortStopBits(), sb1BITS);
    EXPECT_EQ(driver.ComPortParity(), ptNONE);
    EXPECT_EQ(driver.ComPortHwHandshaking(), hhNONE);
    EXPECT_EQ(driver.ComPortSwHandshaking(), shNONE);
    EXPECT_EQ(driver.ComPortInBufSize(), 2048);
    EXPECT_EQ(driver.ComPortOutBufSize(), 2048);
    EXPECT_EQ(driver.ComPortPollingDelay(), 50);
    EXPECT_TRUE(driver.EnableDTROnOpen());
    EXPECT_EQ(driver.OutputTimeout(), 4000);
    EXPECT_FALSE(driver.OnReceiveData());
    EXPECT_FALSE(driver.IsConnected());
}

TEST_F(CommPortDriverTest, ConnectAsksForTheMetersLineFormat)
{
    setUpAsComm2();
    ASSERT_TRUE(driver.Connect());
    EXPECT_EQ(rec.opened, std::vector<std::string>{"COM1"});
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"open", "setLineSettings", "purge", "setupQueues", "setTimeouts"}));

    ASSERT_EQ(rec.lineSettings.size(), 1u);
    const SerialLineSettings& s = rec.lineSettings[0];
    EXPECT_EQ(s.baudRate, 9600u);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, sb2BITS);
    EXPECT_EQ(s.parity, ptNONE);
    EXPECT_FALSE(s.ctsOutputFlow);
    EXPECT_FALSE(s.rtsHandshake);
    EXPECT_FALSE(s.rtsOn);
    EXPECT_TRUE(s.dtrOn);
    EXPECT_FALSE(s.xonXoffOutput);
    EXPECT_FALSE(s.xonXoffInput);
    EXPECT_EQ(s.xonLimit, 512);
    EXPECT_EQ(s.xoffLimit, 1);

    EXPECT_EQ(rec.purges, (std::vector<std::pair<bool, bool>>{{true, true}}));
    EXPECT_EQ(rec.queues, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{2048, 2048}}));
    ASSERT_EQ(rec.timeouts.size(), 1u);
    EXPECT_EQ(rec.timeouts[0].readIntervalMs, 1u);
    EXPECT_EQ(rec.timeouts[0].readTotalMultiplierMs, 0u);
    EXPECT_EQ(rec.timeouts[0].readTotalConstantMs, 1u);
    EXPECT_EQ(rec.timeouts[0].writeTotalMultiplierMs, 0u);
    EXPECT_EQ(rec.timeouts[0].writeTotalConstantMs, 0u);
    EXPECT_TRUE(driver.PollTimerActive());
}

TEST_F(CommPortDriverTest, SettersBeforeConnectTouchNothing)
{
    setUpAsComm2();
    driver.SetComPortSpeed(br19200);
    driver.SetComPortParity(ptEVEN);
    EXPECT_TRUE(rec.calls.empty());
}

struct LineChange {
    const char* name;
    void (*change)(TCommPortDriver&);
    bool (*check)(const SerialLineSettings&);
};

class LineChangeWhileOpen : public CommPortDriverTest, public ::testing::WithParamInterface<LineChange> {};

TEST_P(LineChangeWhileOpen, AppliesAtOnceAndDiscardsUnreadInput)
{
    setUpAsComm2();
    ASSERT_TRUE(driver.Connect());
    rec.calls.clear();
    rec.pendingReads.push_back({1, 2, 3});

    GetParam().change(driver);

    EXPECT_EQ(rec.calls, (std::vector<std::string>{"setLineSettings", "purge", "setupQueues"}));
    EXPECT_TRUE(GetParam().check(rec.lineSettings.back()));
    EXPECT_EQ(rec.purges.back(), std::make_pair(true, true));
    EXPECT_TRUE(rec.pendingReads.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachLineProperty, LineChangeWhileOpen,
    ::testing::Values(
        LineChange{"speed", [](TCommPortDriver& d) { d.SetComPortSpeed(br115200); },
                   [](const SerialLineSettings& s) { return s.baudRate == 115200u; }},
        LineChange{"databits", [](TCommPortDriver& d) { d.SetComPortDataBits(db8BITS); },
                   [](const SerialLineSettings& s) { return s.dataBits == 8; }},
        LineChange{"stopbits", [](TCommPortDriver& d) { d.SetComPortStopBits(sb1HALFBITS); },
                   [](const SerialLineSettings& s) { return s.stopBits == sb1HALFBITS; }},
        LineChange{"parity", [](TCommPortDriver& d) { d.SetComPortParity(ptMARK); },
                   [](const SerialLineSettings& s) { return s.parity == ptMARK; }},
        LineChange{"rtscts", [](TCommPortDriver& d) { d.SetComPortHwHandshaking(hhRTSCTS); },
                   [](const SerialLineSettings& s) { return s.ctsOutputFlow && s.rtsHandshake; }},
        LineChange{"xonxoff", [](TCommPortDriver& d) { d.SetComPortSwHandshaking(shXONXOFF); },
                   [](const SerialLineSettings& s) { return s.xonXoffInput && s.xonXoffOutput; }}),
    [](const ::testing::TestParamInfo<LineChange>& info) { return std::string(info.param.name); });

TEST_F(CommPortDriverTest, ConnectWhileOpenChangesNothing)
{
    ASSERT_TRUE(driver.Connect());
    rec.calls.clear();
    EXPECT_TRUE(driver.Connect());
    EXPECT_TRUE(rec.calls.empty());
}

TEST_F(CommPortDriverTest, FailedConnectReportsFalseAndIsRetried)
{
    rec.openable.clear();
    EXPECT_FALSE(driver.Connect());
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_FALSE(driver.PollTimerActive());
    EXPECT_TRUE(rec.lineSettings.empty());
    rec.openable.insert("COM2");
    EXPECT_TRUE(driver.Connect());
    EXPECT_EQ(rec.opened, (std::vector<std::string>{"COM2", "COM2"}));
}

TEST_F(CommPortDriverTest, RefusedLineFormatClosesThePortAgain)
{
    rec.refuseLineSettings = true;
    EXPECT_FALSE(driver.Connect());
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_TRUE(driver.LineSettingsRefused());
    EXPECT_FALSE(driver.PollTimerActive());
}

TEST_F(CommPortDriverTest, ComPortIsIgnoredWhileOpen)
{
    setUpAsComm2();
    ASSERT_TRUE(driver.Connect());
    driver.SetComPort(pnCOM3);
    EXPECT_EQ(driver.ComPort(), pnCOM1);
    driver.Disconnect();
    driver.SetComPort(pnCOM3);
    EXPECT_EQ(driver.ComPort(), pnCOM3);
    ASSERT_TRUE(driver.Connect());
    EXPECT_EQ(rec.opened.back(), "COM3");
}

TEST_F(CommPortDriverTest, BufferSizesFollowTheirOwnRules)
{
    driver.SetComPortInBufSize(100);
    EXPECT_EQ(driver.ComPortInBufSize(), 100);
    driver.SetComPortOutBufSize(100); // closed: ignored
    EXPECT_EQ(driver.ComPortOutBufSize(), 2048);

    ASSERT_TRUE(driver.Connect());
    driver.SetComPortInBufSize(300); // open: ignored
    EXPECT_EQ(driver.ComPortInBufSize(), 100);
    driver.SetComPortOutBufSize(1000); // open: stored, used at the next ApplySettings
    EXPECT_EQ(driver.ComPortOutBufSize(), 1000);
    driver.ApplySettings();
    EXPECT_EQ(rec.queues.back(), std::make_pair(std::uint32_t{100}, std::uint32_t{1000}));

    rec.pendingReads.push_back(std::vector<std::uint8_t>(250, 0x55));
    driver.PollReceive();
    EXPECT_EQ(rec.readSizes.back(), 100);
}

TEST_F(CommPortDriverTest, PollingDelayRestartsTheTimerOnlyWhenOpen)
{
    driver.SetComPortPollingDelay(20);
    EXPECT_FALSE(driver.PollTimerActive());
    ASSERT_TRUE(driver.Connect());
    EXPECT_TRUE(driver.PollTimerActive());
    driver.SetComPortPollingDelay(75);
    EXPECT_EQ(driver.ComPortPollingDelay(), 75);
    EXPECT_TRUE(driver.PollTimerActive());
    driver.Disconnect();
    EXPECT_FALSE(driver.PollTimerActive());
}

TEST_F(CommPortDriverTest, DtrFollowsEnableDtrOnOpen)
{
    driver.SetEnableDTROnOpen(false);
    ASSERT_TRUE(driver.Connect());
    EXPECT_FALSE(rec.lineSettings.back().dtrOn);
}

TEST_F(CommPortDriverTest, PollHandsEachNonEmptyBatchOverOnce)
{
    std::vector<std::vector<std::uint8_t>> batches;
    TCommPortDriver* seenSender = nullptr;
    driver.SetOnReceiveData([&](TCommPortDriver* sender, const std::uint8_t* data, int size) {
        seenSender = sender;
        batches.emplace_back(data, data + size);
    });
    driver.PollReceive(); // closed: nothing read
    EXPECT_TRUE(rec.readSizes.empty());

    ASSERT_TRUE(driver.Connect());
    driver.PollReceive(); // nothing waiting
    EXPECT_TRUE(batches.empty());

    std::vector<std::uint8_t> thirty(30);
    for (int i = 0; i < 30; ++i)
        thirty[i] = static_cast<std::uint8_t>(i);
    rec.pendingReads.push_back(thirty);
    driver.PollReceive();
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0], thirty);
    EXPECT_EQ(seenSender, &driver);
}

TEST_F(CommPortDriverTest, OutFreeSpace)
{
    EXPECT_EQ(driver.OutFreeSpace(), -1);
    ASSERT_TRUE(driver.Connect());
    EXPECT_EQ(driver.OutFreeSpace(), 2048);
    rec.outQueue = 48;
    EXPECT_EQ(driver.OutFreeSpace(), 2000);
}

TEST_F(CommPortDriverTest, SendDataOnClosedPortWritesNothing)
{
    const std::uint8_t bytes[] = {'A', 'A'};
    EXPECT_EQ(driver.SendData(bytes, 2), 0);
    EXPECT_TRUE(rec.written.empty());
}

TEST_F(CommPortDriverTest, SendDataWritesWhatFitsUntilDone)
{
    ASSERT_TRUE(driver.Connect());
    rec.acceptPerWrite = 3;
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(driver.SendData(bytes.data(), 8), 8);
    EXPECT_EQ(rec.written, bytes);
}

TEST_F(CommPortDriverTest, SendDataGivesUpAfterOutputTimeoutWithMinusTheBytesWritten)
{
    ASSERT_TRUE(driver.Connect());
    driver.SetOutputTimeout(60);
    rec.acceptPerWrite = 0; // queue never takes anything
    const std::uint8_t bytes[] = {'B', 'B'};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(driver.SendData(bytes, 2), 0);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(60));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
    EXPECT_GT(rec.waits, 0); // it waited, it did not spin

    rec.outQueue = 2048; // transmit queue full: OutFreeSpace is 0
    rec.acceptPerWrite = -1;
    EXPECT_EQ(driver.SendData(bytes, 2), 0);
    EXPECT_TRUE(rec.written.empty());
}

TEST_F(CommPortDriverTest, SendDataReturnsMinusPartialCountOnTimeout)
{
    ASSERT_TRUE(driver.Connect());
    driver.SetOutputTimeout(30);
    rec.acceptPerWrite = 0;
    rec.acceptSequence = {2}; // the first write takes two bytes, then the queue jams
    const std::uint8_t bytes[] = {'D', 'D', 'E', 'E', 'F'};
    EXPECT_EQ(driver.SendData(bytes, 5), -2);
    EXPECT_EQ(rec.written, (std::vector<std::uint8_t>{'D', 'D'}));
}

TEST_F(CommPortDriverTest, SendDataStopsAtOnceWhenTheDeviceFails)
{
    ASSERT_TRUE(driver.Connect());
    rec.writeError = true;
    const std::uint8_t bytes[] = {'E', 'E'};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(driver.SendData(bytes, 2), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

TEST_F(CommPortDriverTest, FlushBuffersPassesBothChoices)
{
    driver.FlushBuffers(true, false); // closed: nothing
    EXPECT_TRUE(rec.purges.empty());
    ASSERT_TRUE(driver.Connect());
    driver.FlushBuffers(false, true);
    EXPECT_EQ(rec.purges.back(), std::make_pair(false, true));
}

TEST_F(CommPortDriverTest, DisconnectStopsPollingAndCloses)
{
    driver.Disconnect(); // closed: nothing
    EXPECT_TRUE(rec.calls.empty());
    ASSERT_TRUE(driver.Connect());
    driver.Disconnect();
    EXPECT_EQ(rec.calls.back(), "close");
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_FALSE(driver.PollTimerActive());
}

TEST(CommPortDriverLifetime, DestroyingTheComponentClosesThePort)
{
    FakeSerialPlatform::Record rec;
    {
        TCommPortDriver driver(std::make_unique<FakeSerialPlatform>(rec));
        ASSERT_TRUE(driver.Connect());
    }
    EXPECT_EQ(rec.calls.back(), "close");
    EXPECT_FALSE(rec.open);
}

TEST(ComPortTypes, RateTableAndNames)
{
    const std::uint32_t rates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
    for (int i = br110; i <= br115200; ++i)
        EXPECT_EQ(BaudRateValue(static_cast<TComPortBaudRate>(i)), rates[i]) << i;
    EXPECT_STREQ(ComPortDeviceName(pnCOM1), "COM1");
    EXPECT_STREQ(ComPortDeviceName(pnCOM4), "COM4");
    EXPECT_EQ(CharacterSize(db5BITS), 5);
    EXPECT_EQ(CharacterSize(db7BITS), 7);
}

} // namespace
} // namespace varnex
