// The program against a meter on its USB cable: the simulated bridge, a bridge that
// never delivers a byte, and no bridge at all.
#include "EndToEndSupport.h"

#include "links/SerialPortNames.h"
#include "links/UsbLink.h"
#include "links/testing/ScriptedSiUsbLibrary.h"

namespace varnex::testing {
namespace {

class app_EndToEndUsb : public EndToEndFixture {
protected:
    // A window whose USB library is scripted; the script stays reachable.
    ScriptedSiUsbLibrary* startScripted()
    {
        auto usb = std::make_unique<ScriptedSiUsbLibrary>();
        ScriptedSiUsbLibrary* raw = usb.get();
        start(std::make_unique<MeterEnvironment>(SerialPortNames(), std::move(usb)));
        return raw;
    }

    void expectDisconnectedLook()
    {
        EXPECT_FALSE(usbButton()->isChecked());
        EXPECT_EQ(usbButton()->text(), QStringLiteral("USB CONNECTION"));
        EXPECT_TRUE(comCon()->isVisible());
        EXPECT_TRUE(bar()->portPanel(0)->isVisible());
        EXPECT_FALSE(window().Timer1().isActive());
    }
};

TEST_F(app_EndToEndUsb, SimulatedMeterReadingsAndKeysOverUsb)
{
    start(MeterEnvironment::Simulated(SerialPortNames()));

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_TRUE(usbButton()->isChecked());
    EXPECT_EQ(usbButton()->text(), QStringLiteral("USB DISCONNECTION"));
    EXPECT_FALSE(comCon()->isVisible());
    EXPECT_FALSE(bar()->portPanel(0)->isVisible());
    EXPECT_TRUE(window().Timer1().isActive());
    EXPECT_TRUE(window().Usb().UsbOpen());
    EXPECT_TRUE(dialogs_.records.empty()) << "the bridge is there: nothing to report";

    ASSERT_TRUE(waitFor([&] { return lcdShown("CONok") && gridRows() > 0; }))
        << "decoded " << window().DecodedFrames() << " dropped " << window().DroppedFrames();
    EXPECT_EQ(lcdText("LcdDc1"), QStringLiteral("DCV "));
    EXPECT_EQ(window().DroppedFrames(), 0u);
    // Decoding, logging and drawing a frame leave the UI thread free.
    EXPECT_LT(LongestTickGapMs(1000), 40);

    pressKey("ACV");
    EXPECT_TRUE(waitFor([&] { return window().CurrentReading().FunctionText == "ACV"; }))
        << "function now " << window().CurrentReading().FunctionText;
    EXPECT_EQ(lcdText("LcdDc1"), QStringLiteral("ACV"));

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    expectDisconnectedLook();
    EXPECT_FALSE(window().Usb().UsbOpen());
    EXPECT_TRUE(waitFor([&] { return lcdShown("CONokN"); }, 1500));
}

TEST_F(app_EndToEndUsb, WindowKeepsHandlingEventsWhileTheBridgeIsSilent)
{
    ScriptedSiUsbLibrary* usb = startScripted();
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    ASSERT_TRUE(window().Usb().UsbOpen());
    ASSERT_TRUE(window().Timer1().isActive());

    const int readsBefore = usb->count("SI_Read");
    const qint64 gap = LongestTickGapMs(1000);
    EXPECT_LT(gap, 40) << "a USB tick held up the UI thread";
    // The poll really ran meanwhile (about 100 ticks; a loaded machine gets fewer).
    EXPECT_GT(usb->count("SI_Read") - readsBefore, 20);
    EXPECT_TRUE(lcdShown("CONokN"));
    EXPECT_TRUE(dialogs_.records.empty()) << "failed reads are not reported";
}

TEST_F(app_EndToEndUsb, BridgeNotFoundReportsAndReturnsToTheDisconnectedLook)
{
    ScriptedSiUsbLibrary* usb = startScripted();
    usb->queueStatus("SI_GetNumDevices", SI_DEVICE_NOT_FOUND);
    usb->queueStatus("SI_Open", SI_DEVICE_NOT_FOUND);

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs_.records.size(), 2u);
    EXPECT_EQ(dialogs_.records[0].text, QStringLiteral("Varnex USB device not found, please check if connected "
                                                       "properly, the driver is installed correctly."));
    EXPECT_EQ(dialogs_.records[1].text, QStringLiteral("Please check the USB device driver installation is normal."));
    EXPECT_EQ(dialogs_.records[0].kind, DialogKind::Information);
    EXPECT_EQ(dialogs_.records[1].kind, DialogKind::Information);
    expectDisconnectedLook();
    EXPECT_FALSE(window().Usb().UsbOpen());

    // Nothing is polled afterwards, and the next press with the bridge back connects.
    const int reads = usb->count("SI_Read");
    QTest::qWait(200);
    EXPECT_EQ(usb->count("SI_Read"), reads);

    dialogs_.clear();
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_TRUE(usbButton()->isChecked());
    EXPECT_EQ(usbButton()->text(), QStringLiteral("USB DISCONNECTION"));
    EXPECT_TRUE(window().Usb().UsbOpen());
    EXPECT_TRUE(window().Timer1().isActive());
    EXPECT_TRUE(dialogs_.records.empty());
}

TEST_F(app_EndToEndUsb, BridgeThatFailsToOpenKeepsTheButtonDownUntilReleased)
{
    ScriptedSiUsbLibrary* usb = startScripted();
    usb->queueStatus("SI_Open", SI_DEVICE_IO_FAILED);

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs_.texts(), QStringList{QStringLiteral("Please check the USB device driver installation is normal.")});
    EXPECT_TRUE(usbButton()->isChecked());
    EXPECT_FALSE(window().Usb().UsbOpen());

    // Ending this connection closes nothing: nothing was opened.
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    expectDisconnectedLook();
    EXPECT_EQ(usb->count("SI_Close"), 0);
}

TEST_F(app_EndToEndUsb, TwoBridgesOpenNothingAndOnlyDciComplains)
{
    ScriptedSiUsbLibrary* usb = startScripted();
    usb->deviceCount = 2;

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.records.empty()) << "several bridges: nothing is said";
    EXPECT_FALSE(window().Usb().UsbOpen());
    EXPECT_TRUE(usbButton()->isChecked());
    EXPECT_TRUE(window().Timer1().isActive());
    // Ticks run against no device and each leaves a failed status.
    ASSERT_TRUE(waitFor([&] { return usb->count("SI_Read") >= 3; }, 2000));
    EXPECT_NE(window().Usb().UsbStatus(), SI_SUCCESS);

    pressKey("ACV");
    EXPECT_TRUE(dialogs_.records.empty());
    pressKey("DCI");
    ASSERT_EQ(dialogs_.records.size(), 1u);
    EXPECT_EQ(dialogs_.records[0].kind, DialogKind::Error);
    EXPECT_EQ(dialogs_.records[0].text, QStringLiteral("USB device  is not connected yet!"));
    EXPECT_EQ(usb->count("SI_Write"), 0);
}

} // namespace
} // namespace varnex::testing
