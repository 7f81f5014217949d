// Key routing: which link gets the bytes, which message the user sees.
#include "keypad/KeypadRouter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

struct FakeSerial : SerialKeyLink {
    bool open = false;
    std::vector<std::uint8_t> sent;
    bool isConnected() const override { return open; }
    void sendData(const std::uint8_t* data, int size) override { sent.insert(sent.end(), data, data + size); }
};

struct FakeUsb : UsbKeyLink {
    std::int32_t lastStatus = 0;
    std::vector<std::uint8_t> sent;
    void send(char a, char b) override
    {
        sent.push_back(static_cast<std::uint8_t>(a));
        sent.push_back(static_cast<std::uint8_t>(b));
    }
    std::int32_t status() const override { return lastStatus; }
};

struct FakeMessages : KeypadMessages {
    std::vector<std::string> shown;
    void showError(const std::string& text) override { shown.push_back(text); }
};

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

const LinkButtons kIdle{false, false};
const LinkButtons kCom{true, false};
const LinkButtons kUsb{false, true};

struct Row {
    const char* name;
    const char* code;
    LinkButtons buttons;
    bool serialOpen;
    std::int32_t usbStatus;
    Bytes serialBytes;
    Bytes usbBytes;
    Texts messages;
};

class RoutingTable : public ::testing::TestWithParam<Row> {};

TEST_P(RoutingTable, SendsAndShows)
{
    const Row& row = GetParam();
    FakeSerial serial;
    FakeUsb usb;
    FakeMessages messages;
    serial.open = row.serialOpen;
    usb.lastStatus = row.usbStatus;
    KeypadRouter router(serial, usb, messages);
    if (std::string(row.code) == "TT")
        router.SendCalibration();
    else
        router.SendKeyCode(row.code, row.buttons);
    EXPECT_EQ(serial.sent, row.serialBytes);
    EXPECT_EQ(usb.sent, row.usbBytes);
    EXPECT_EQ(messages.shown, row.messages);
}

const std::string kCom_ = kComNotOpenMessage;
const std::string kUsb_ = kUsbNotConnectedMessage;

INSTANTIATE_TEST_SUITE_P(
    Keypad, RoutingTable,
    ::testing::Values(
        Row{"DcvOnOpenCom", "AA", kCom, true, 0, {0x41, 0x41}, {}, {}},
        Row{"DcvOnClosedCom", "AA", kCom, false, 0, {}, {}, {kCom_}},
        Row{"AcvOnUsbEvenAfterAFailedRead", "BB", kUsb, false, 3, {}, {0x42, 0x42}, {}},
        Row{"DciOnUsbAfterAFailedCall", "CC", kUsb, false, 3, {}, {}, {kUsb_}},
        Row{"DciOnUsbAfterSuccess", "CC", kUsb, false, 0, {}, {0x43, 0x43}, {}},
        Row{"DciOnOpenComIgnoresUsbStatus", "CC", kCom, true, 3, {0x43, 0x43}, {}, {}},
        Row{"NothingSelected", "AA", kIdle, true, 0, {}, {}, {}},
        Row{"NothingSelectedDci", "CC", kIdle, false, 3, {}, {}, {}},
        Row{"UsbDownIgnoresTheOpenSerialPort", "UU", kUsb, true, 0, {}, {0x55, 0x55}, {}},
        Row{"CalOnOpenPortWhateverIsDown", "TT", kIdle, true, 0, {0x54, 0x54}, {}, {}},
        Row{"CalWithUsbDownAndPortClosed", "TT", kUsb, false, 0, {}, {}, {kCom_}},
        Row{"CalWithComDownAndPortClosed", "TT", kCom, false, 0, {}, {}, {kCom_}}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(KeypadRouter, EveryKeyOnClosedComShowsTheMessageOncePerPress)
{
    FakeSerial serial;
    FakeUsb usb;
    FakeMessages messages;
    KeypadRouter router(serial, usb, messages);
    int presses = 0;
    for (const KeyDefinition& key : KeyTable()) {
        router.press(key, key.trigger, kCom);
        ++presses;
    }
    EXPECT_EQ(messages.shown, Texts(static_cast<std::size_t>(presses), kComNotOpenMessage));
    EXPECT_TRUE(serial.sent.empty());
    EXPECT_TRUE(usb.sent.empty());
}

TEST(KeypadRouter, EveryKeySendsItsOwnTwoLetters)
{
    FakeSerial serial;
    serial.open = true;
    FakeUsb usb;
    FakeMessages messages;
    KeypadRouter router(serial, usb, messages);
    for (const KeyDefinition& key : KeyTable()) {
        serial.sent.clear();
        router.press(key, key.trigger, kCom);
        const Bytes expected = {static_cast<std::uint8_t>(key.code[0]), static_cast<std::uint8_t>(key.code[1])};
        EXPECT_EQ(serial.sent, expected) << key.controlName;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KeypadRouter, WrongMouseButtonDoesNothing)
{
    FakeSerial serial;
    serial.open = true;
    FakeUsb usb;
    FakeMessages messages;
    KeypadRouter router(serial, usb, messages);
    router.press(*FindKeyByCode("TT"), KeyTrigger::LeftClick, kCom); // left click on CAL
    router.press(*FindKeyByCode("AA"), KeyTrigger::RightClick, kCom);
    EXPECT_TRUE(serial.sent.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KeypadRouter, MalformedCodeSendsNothing)
{
    FakeSerial serial;
    serial.open = true;
    FakeUsb usb;
    FakeMessages messages;
    KeypadRouter router(serial, usb, messages);
    router.SendKeyCode("A", kCom);
    router.SendKeyCode("AAA", kUsb);
    EXPECT_TRUE(serial.sent.empty());
    EXPECT_TRUE(usb.sent.empty());
}

} // namespace
} // namespace varnex
