// The connection bar's logic: buttons, port selector, captions, Timer1, indicator, clock.
#include "links/ConnectionControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

class ConnectionControlTest : public ::testing::Test {
protected:
    ConnectionControlTest()
    {
        control.setActions(ConnectionActions{
            [this] {
                calls.push_back("connect");
                return serialOpens;
            },
            [this] { calls.push_back("disconnect"); },
            [this](TComPortNumber p) { calls.push_back("port " + std::to_string(static_cast<int>(p) + 1)); },
            [this] {
                calls.push_back("usb open");
                timer1WhileOpening = control.view().timer1Enabled;
                if (usbOpenGivesUp) {
                    control.usbShowDisconnectedLook();
                    control.usbStopPolling();
                }
            },
            [this] { calls.push_back("usb close"); }});
    }

    // Which port panel shows, 0 when none.
    int visiblePanel() const
    {
        int shown = 0;
        for (int i = 0; i < 4; ++i)
            if (control.view().btCom[i].visible)
                shown = shown ? -1 : i + 1;
        return shown;
    }

    ConnectionControl control;
    std::vector<std::string> calls;
    bool serialOpens = true;
    bool usbOpenGivesUp = false;
    bool timer1WhileOpening = false;
};

TEST_F(ConnectionControlTest, StartLook)
{
    const ConnectionViewState& v = control.view();
    EXPECT_EQ(visiblePanel(), 1);
    EXPECT_TRUE(v.btCom[0].enabled);
    EXPECT_TRUE(v.comCon.visible);
    EXPECT_FALSE(v.comConDown);
    EXPECT_TRUE(v.usb.visible);
    EXPECT_FALSE(v.usbDown);
    EXPECT_EQ(v.usbCaption, " USB CONNECTION ");
    EXPECT_FALSE(v.timer1Enabled);
    EXPECT_FALSE(v.conOkVisible);
    EXPECT_EQ(v.clockText, "displaytime");
    EXPECT_EQ(control.mode(), ConnectionMode::Idle);
    EXPECT_EQ(control.selectedPort(), pnCOM1);
}

TEST_F(ConnectionControlTest, PortSelectorCyclesThroughTheFourPorts)
{
    const std::vector<std::pair<int, std::string>> expected = {{2, "port 2"}, {3, "port 3"}, {4, "port 4"},
                                                               {1, "port 1"}, {2, "port 2"}};
    for (const auto& [panel, call] : expected) {
        calls.clear();
        control.clickPortPanel();
        EXPECT_EQ(visiblePanel(), panel);
        EXPECT_EQ(static_cast<int>(control.selectedPort()) + 1, panel);
        EXPECT_EQ(calls, std::vector<std::string>{call});
    }
    EXPECT_EQ(PortPanelCaption(pnCOM3), "COM 3");
}

TEST_F(ConnectionControlTest, HandlersOfHiddenPanelsDoNothing)
{
    control.COM31Click(); // BtCOM2 is hidden while COM1 is selected
    control.COM11Click();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(control.selectedPort(), pnCOM1);
    control.COM21Click();
    control.COM31Click();
    control.COM41Click(); // "COM 3" selects COM4
    EXPECT_EQ(control.selectedPort(), pnCOM4);
    control.COM11Click(); // "COM 4" selects COM1
    EXPECT_EQ(control.selectedPort(), pnCOM1);
}

TEST_F(ConnectionControlTest, ComConnectionHidesUsbAndLocksThePort)
{
    control.COMConClick(true);
    EXPECT_EQ(calls, std::vector<std::string>{"connect"});
    EXPECT_EQ(control.mode(), ConnectionMode::Com);
    EXPECT_FALSE(control.view().usb.visible);
    EXPECT_EQ(visiblePanel(), 1);
    EXPECT_FALSE(control.view().btCom[0].enabled);
    EXPECT_FALSE(control.view().timer1Enabled);

    control.clickPortPanel(); // disabled: ignored
    control.USBClick(true);   // hidden: ignored
    EXPECT_EQ(calls, std::vector<std::string>{"connect"});

    control.COMConClick(false);
    EXPECT_EQ(calls, (std::vector<std::string>{"connect", "disconnect"}));
    EXPECT_TRUE(control.view().usb.visible);
    EXPECT_TRUE(control.view().btCom[0].enabled);
    EXPECT_EQ(control.mode(), ConnectionMode::Idle);
}

TEST_F(ConnectionControlTest, PortThatWillNotOpenLeavesComConDown)
{
    serialOpens = false;
    control.COMConClick(true);
    EXPECT_TRUE(control.view().comConDown);
    EXPECT_EQ(control.mode(), ConnectionMode::Com);
}

TEST_F(ConnectionControlTest, UsbConnectionCaptionsAndTimer1)
{
    control.clickPortPanel(); // COM2 chosen before
    calls.clear();
    control.USBClick(true);
    EXPECT_EQ(calls, std::vector<std::string>{"usb open"});
    EXPECT_TRUE(timer1WhileOpening); // Timer1 runs before the open sequence
    EXPECT_EQ(control.view().usbCaption, "USB DISCONNECTION");
    EXPECT_FALSE(control.view().comCon.visible);
    EXPECT_EQ(visiblePanel(), 0);
    EXPECT_EQ(control.mode(), ConnectionMode::Usb);

    control.COMConClick(true); // hidden: ignored
    control.clickPortPanel();  // hidden: ignored
    EXPECT_EQ(calls, std::vector<std::string>{"usb open"});

    control.USBClick(false);
    EXPECT_EQ(calls, (std::vector<std::string>{"usb open", "usb close"}));
    EXPECT_EQ(control.view().usbCaption, "USB CONNECTION");
    EXPECT_FALSE(control.view().timer1Enabled);
    EXPECT_TRUE(control.view().comCon.visible);
    EXPECT_EQ(visiblePanel(), 2); // the port chosen before
    control.clickPortPanel();
    EXPECT_EQ(control.selectedPort(), pnCOM3);
}

TEST_F(ConnectionControlTest, UsbOpenThatGivesUpReturnsToIdleWithTimer1Off)
{
    usbOpenGivesUp = true;
    control.USBClick(true);
    const ConnectionViewState& v = control.view();
    EXPECT_FALSE(v.usbDown);
    EXPECT_EQ(v.usbCaption, "USB CONNECTION");
    EXPECT_TRUE(v.comCon.visible);
    EXPECT_EQ(visiblePanel(), 1);
    EXPECT_FALSE(v.timer1Enabled);
    EXPECT_EQ(control.mode(), ConnectionMode::Idle);
    // The button is up again: the next click connects anew.
    usbOpenGivesUp = false;
    control.USBClick(true);
    EXPECT_TRUE(control.view().usbDown);
    EXPECT_TRUE(control.view().timer1Enabled);
}

TEST_F(ConnectionControlTest, ViewChangesAreAnnouncedBeforeTheOpenSequenceRuns)
{
    std::vector<bool> timer1Seen;
    control.setViewChanged([&](const ConnectionViewState& v) { timer1Seen.push_back(v.timer1Enabled); });
    control.USBClick(true);
    ASSERT_FALSE(timer1Seen.empty());
    EXPECT_TRUE(timer1Seen.front());
}

TEST_F(ConnectionControlTest, ClockAndWatchdog)
{
    const QDateTime t(QDate(2026, 12, 8), QTime(14, 5, 9));
    control.ConTimerTimer(t);
    EXPECT_EQ(control.view().clockText, "14 : 05 : 09     12 - 08 - 2026");

    control.frameDecoded();
    EXPECT_TRUE(control.view().conOkVisible);
    control.ConTimerTimer(t);
    control.ConTimerTimer(t);
    EXPECT_TRUE(control.view().conOkVisible);
    control.ConTimerTimer(t); // third tick without a frame
    EXPECT_FALSE(control.view().conOkVisible);
}

} // namespace
} // namespace varnex
