// What the window tells about its links besides the fixed boxes: the cause of a port that
// will not open, the device in use and its line, a link that is lost (tooltips of the
// link button and the connection indicator, and standard error). Real ptys throughout;
// the USB bridge is the CP210x tty library over a fake sysfs tree.
#include "../links/FakeSysfs.h"
#include "../links/PtyPair.h"
#include "EndToEndSupport.h"
#include "StderrCapture.h"

#include "keypad/KeypadRouter.h"
#include "links/Cp210xTtyLibrary.h"
#include "links/ExclusiveTty.h"
#include "links/SerialPortNames.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"
#include "links/testing/ScriptedSiUsbLibrary.h"

namespace varnex::testing {
namespace {

class app_LinkReport : public EndToEndFixture {
protected:
    void startWithCom1(const std::string& path)
    {
        SerialPortNames names;
        names.setOverride(pnCOM1, path);
        start(std::make_unique<MeterEnvironment>(names, std::make_unique<ScriptedSiUsbLibrary>()));
    }
    void startWithBridges()
    {
        start(std::make_unique<MeterEnvironment>(SerialPortNames(),
                                                 std::make_unique<Cp210xTtyLibrary>(tree.sys(), tree.dev())));
    }
    QString indicatorTip() { return lcd()->element(QStringLiteral("CONokN"))->toolTip(); }
    static bool has(const QString& text, const char* part) { return text.contains(QString::fromUtf8(part)); }

    FakeSysfs tree;
};

TEST_F(app_LinkReport, MissingComPortShowsItsCauseAndHintWithoutABox)
{
    startWithCom1("/nonexistent/ttyVarnex");
    StderrCapture err;
    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_TRUE(comCon()->isChecked()) << "the button stays down, as it always did";
    EXPECT_TRUE(dialogs_.records.empty());
    const QString tip = comCon()->toolTip();
    EXPECT_TRUE(has(tip, "COM1 could not be opened: /nonexistent/ttyVarnex: No such file or directory")) << tip.toStdString();
    EXPECT_TRUE(has(tip, "Hint: use /dev/serial/by-id/… for a USB adapter")) << tip.toStdString();
    EXPECT_EQ(indicatorTip(), tip);
    const std::string line = err.text();
    EXPECT_NE(line.find("varnex: COM1 could not be opened: /nonexistent/ttyVarnex: No such file or directory; "
                        "use /dev/serial/by-id/… for a USB adapter"),
              std::string::npos) << line;

    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_TRUE(comCon()->toolTip().isEmpty()) << "disconnected: nothing to tell";
}

TEST_F(app_LinkReport, ComPortHeldByAnotherProgramSaysInUse)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const ExclusiveTtyResult other = OpenTtyExclusively(pty.slavePath());
    ASSERT_GE(other.fd, 0) << other.message;
    startWithCom1(pty.slavePath());
    StderrCapture err;
    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_FALSE(window().COMM2().IsConnected());
    EXPECT_TRUE(dialogs_.records.empty());
    EXPECT_TRUE(has(comCon()->toolTip(), "is in use by another program")) << comCon()->toolTip().toStdString();
    EXPECT_TRUE(has(comCon()->toolTip(), "Hint: close the other program that uses it")) << comCon()->toolTip().toStdString();
    EXPECT_NE(err.text().find("is in use by another program"), std::string::npos) << err.text();
    CloseExclusiveTty(other.fd);
}

TEST_F(app_LinkReport, OpenComPortNamesItsDeviceAndTheEightBitsItKeeps)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    startWithCom1(pty.slavePath());
    StderrCapture err;
    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(window().COMM2().IsConnected());
    const QString tip = comCon()->toolTip();
    EXPECT_TRUE(has(tip, ("COM1: " + pty.slavePath() + ", 9600 baud 8N2").c_str())) << tip.toStdString();
    EXPECT_TRUE(has(tip, "The device keeps 8 data bits (7 asked for)")) << tip.toStdString();
    EXPECT_EQ(indicatorTip(), tip);
    EXPECT_EQ(err.text(), "") << "an open port is no error";
}

TEST_F(app_LinkReport, HungUpComPortIsClosedAndSaidSo)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    startWithCom1(pty.slavePath());
    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(window().COMM2().IsConnected());
    StderrCapture err;
    pty.hangUp();
    ASSERT_TRUE(waitFor([&] { return !window().COMM2().IsConnected(); }, 2000));
    EXPECT_TRUE(comCon()->isChecked());
    EXPECT_TRUE(has(comCon()->toolTip(), "COM1 was lost: ")) << comCon()->toolTip().toStdString();
    EXPECT_TRUE(has(comCon()->toolTip(), "hung up")) << comCon()->toolTip().toStdString();
    EXPECT_NE(err.text().find("varnex: COM1 was lost: "), std::string::npos) << err.text();
    EXPECT_TRUE(dialogs_.records.empty()) << "the loss is not a box";
    pressKey("dcv");
    EXPECT_EQ(dialogs_.texts(), QStringList{QStringLiteral("COM Port is not opened yet!")});
}

TEST_F(app_LinkReport, UsbBridgeInUseKeepsTheDriverBoxAndTellsTheCause)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    tree.addTty("ttyUSB0", "10c4");
    tree.linkDevice("ttyUSB0", pty.slavePath());
    const ExclusiveTtyResult other = OpenTtyExclusively(pty.slavePath());
    ASSERT_GE(other.fd, 0) << other.message;
    startWithBridges();
    StderrCapture err;
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_EQ(dialogs_.texts(), QStringList{QString::fromLatin1(kUsbDriverMessage)});
    const QString tip = usbButton()->toolTip();
    EXPECT_TRUE(has(tip, "is in use by another program")) << tip.toStdString();
    EXPECT_TRUE(has(tip, "ttyUSB0 (cp210x, 10c4:ea60)")) << tip.toStdString();
    EXPECT_EQ(indicatorTip(), tip);
    EXPECT_NE(err.text().find("is in use by another program"), std::string::npos) << err.text();
    CloseExclusiveTty(other.fd);
}

TEST_F(app_LinkReport, TwoUsbBridgesAreNamedOnTheTooltip)
{
    tree.addTty("ttyUSB0", "10c4");
    tree.addTty("ttyUSB1", "10c4");
    startWithBridges();
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.records.empty()) << "two bridges: nothing opened, no box";
    const QString tip = usbButton()->toolTip();
    EXPECT_TRUE(has(tip, "2 USB bridges found, so none is opened")) << tip.toStdString();
    EXPECT_TRUE(has(tip, "ttyUSB1")) << tip.toStdString();
}

TEST_F(app_LinkReport, UnpluggedUsbBridgeMakesDciSayNotConnected)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    tree.addTty("ttyUSB0", "10c4");
    tree.linkDevice("ttyUSB0", pty.slavePath());
    startWithBridges();
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    ASSERT_TRUE(window().Usb().UsbOpen());
    EXPECT_TRUE(dialogs_.records.empty());
    EXPECT_TRUE(has(usbButton()->toolTip(), "USB bridge: ")) << usbButton()->toolTip().toStdString();

    // Plugged and silent: the flush after each empty read leaves a status of 0.
    QTest::qWait(50);
    pressKey("DCI");
    EXPECT_TRUE(dialogs_.records.empty());
    EXPECT_EQ(pty.meterReceives(2), (std::vector<std::uint8_t>{'C', 'C'}));

    StderrCapture err;
    pty.hangUp();
    ASSERT_TRUE(waitFor([&] { return window().Usb().DeviceLost(); }, 2000));
    QTest::qWait(50);
    EXPECT_NE(window().Usb().UsbStatus(), SI_SUCCESS);
    pressKey("DCI");
    EXPECT_EQ(dialogs_.texts(), QStringList{QString::fromLatin1(kUsbNotConnectedMessage)});
    EXPECT_TRUE(has(usbButton()->toolTip(), "The USB bridge was lost: ")) << usbButton()->toolTip().toStdString();
    EXPECT_NE(err.text().find("varnex: The USB bridge was lost: "), std::string::npos) << err.text();
}

} // namespace
} // namespace varnex::testing
