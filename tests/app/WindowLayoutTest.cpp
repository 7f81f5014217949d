// The fixed window as the user first sees it: frame, caption, menus, where every area
// sits, the connection bar and the keys, and the state before the first frame.
#include "WindowTestSupport.h"

#include "chart/ChartWidget.h"
#include "chart/TChartControl.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"

#include <QHeaderView>
#include <QElapsedTimer>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QMenu>
#include <QMenuBar>

namespace varnex::testing {
namespace {

using app_WindowLayout = WindowFixture;

TEST_F(app_WindowLayout, IsFixedAtTheClientSizeWithoutMaximizeBox)
{
    EXPECT_EQ(client()->size(), QSize(857, 667));
    EXPECT_EQ(window().minimumSize(), window().maximumSize()) << "the user cannot resize the window";
    EXPECT_FALSE(window().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window().windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window().windowFlags() & Qt::WindowCloseButtonHint);

    // A resize request (as a window manager would send) leaves the client area alone.
    window().resize(1200, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(client()->size(), QSize(857, 667));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Varnex Interface Program _Ver: 3.03"));
}

TEST_F(app_WindowLayout, FirstShownInTheCentreOfTheDesktop)
{
    // Within the frame's decorations, which the window manager adds around the client area.
    const QRect desktop = window().screen()->availableGeometry();
    const QRect frame = window().frameGeometry();
    const QPoint offset = frame.center() - desktop.center();
    EXPECT_LE(offset.manhattanLength(), 16) << "window at " << frame.x() << "," << frame.y();
}

TEST_F(app_WindowLayout, MenuBarHasRecordLimitsThenHelp)
{
    const QList<QAction*> top = window().menuBar()->actions();
    ASSERT_EQ(top.size(), 3); // "Analysis" follows, to the right of both
    EXPECT_EQ(top[0]->text(), QStringLiteral("Record"));
    EXPECT_EQ(top[1]->text(), QStringLiteral("Help"));
    EXPECT_EQ(top[1]->menu(), nullptr) << "Help opens the help file from its title, it has no items";

    ASSERT_NE(top[0]->menu(), nullptr);
    const QList<QAction*> items = top[0]->menu()->actions();
    const QStringList captions{"1000", "5000", "10000", "50000", "100000", "limitless"};
    ASSERT_EQ(items.size(), captions.size());
    for (int i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(captions[i].toStdString());
        EXPECT_EQ(items[i]->text(), captions[i]);
        EXPECT_TRUE(items[i]->isCheckable());
        EXPECT_EQ(items[i]->isChecked(), captions[i] == QLatin1String("10000"));
    }
}

TEST_F(app_WindowLayout, EveryAreaSitsAtItsPlaceAndSize)
{
    struct Area {
        const char* name;
        QRect rect;
    };
    const Area areas[] = {
        {"AA", {4, 0, 845, 48}},          {"MeterFace", {4, 48, 845, 353}}, {"Panel1", {30, 80, 654, 177}},
        {"Keyboard", {30, 256, 655, 113}}, {"GroupBox1", {4, 403, 428, 41}}, {"DBGrid1", {4, 443, 428, 217}},
        {"Panel19", {432, 400, 417, 33}}, {"Chtshow", {432, 432, 417, 228}},
    };
    for (const Area& a : areas) {
        SCOPED_TRACE(a.name);
        QWidget* w = child(a.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(QRect(w->mapTo(client(), QPoint(0, 0)), w->size()), a.rect);
        // Nothing the user can reach lies outside the client area.
        EXPECT_TRUE(client()->rect().contains(QRect(w->mapTo(client(), QPoint(0, 0)), w->size())));
    }
    // The chart's tool bar overlaps the chart's top row and must stay on top of it.
    const QObjectList& siblings = client()->children();
    EXPECT_GT(siblings.indexOf(child("Panel19")), siblings.indexOf(child("Chtshow")));
}

TEST_F(app_WindowLayout, ConnectionBarStartsIdle)
{
    EXPECT_TRUE(child("BtCOM1")->isVisible());
    for (const char* hidden : {"BtCOM2", "BtCOM3", "BtCOM4"}) {
        SCOPED_TRACE(hidden);
        ASSERT_NE(child(hidden), nullptr);
        EXPECT_FALSE(child(hidden)->isVisible());
    }
    EXPECT_EQ(bar()->portPanel(0)->caption(), QStringLiteral("COM 1"));

    struct Button {
        const char* name;
        QString caption;
        bool toggle;
    };
    for (const Button& b : {Button{"COMCon", "COM CONNECTION", true}, Button{"USB", " USB CONNECTION ", true},
                            Button{"BitBtn1", "QUIT", false}}) {
        SCOPED_TRACE(b.name);
        auto* button = child<QPushButton>(b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->isCheckable(), b.toggle);
        EXPECT_FALSE(button->isChecked());
    }
    EXPECT_FALSE(window().Timer1().isActive());
    EXPECT_TRUE(window().ConTimer().isActive());
    EXPECT_TRUE(window().Trecord().isActive());
}

TEST_F(app_WindowLayout, AllKeysOfTheKeypadAtTheirPlaces)
{
    struct Key {
        const char* name;
        QRect rect; // inside the Keyboard group box
        const char* caption; // text keys only
    };
    const Key keys[] = {
        {"dcv", {464, 24, 57, 33}, "DCV"},       {"ACV", {400, 24, 57, 33}, "ACV"},
        {"DCI", {592, 24, 57, 33}, "DCI"},       {"ACI", {528, 24, 57, 33}, "ACI"},
        {"oumu", {336, 24, 57, 33}, nullptr},    {"TEMP", {592, 72, 57, 33}, "RST"},
        {"CAP", {272, 24, 57, 33}, nullptr},     {"Hz", {206, 24, 59, 33}, "Hz"},
        {"duanlou", {80, 24, 57, 33}, nullptr},  {"DIODE", {144, 24, 57, 33}, nullptr},
        {"SETUP", {528, 72, 57, 33}, "SETUP"},   {"UP", {8, 24, 65, 25}, nullptr},
        {"AUTO", {8, 56, 65, 25}, nullptr},      {"DOWN", {8, 88, 65, 25}, nullptr},
        {"HOLD", {80, 72, 57, 33}, "HOLD"},      {"RCL", {144, 72, 57, 33}, "RCL"},
        {"STO", {208, 72, 57, 33}, "STO"},       {"MAX", {272, 72, 57, 33}, "MAX MIN"},
        {"REL", {336, 72, 57, 33}, "REL"},       {"Shape29", {398, 80, 65, 11}, nullptr},
        {"SpeedButton1", {464, 72, 57, 33}, "AC+DC"},
    };
    static_assert(sizeof(keys) / sizeof(keys[0]) == 21);
    QWidget* keyboard = child("Keyboard");
    ASSERT_NE(keyboard, nullptr);
    for (const Key& k : keys) {
        SCOPED_TRACE(k.name);
        QWidget* w = keyboard->findChild<QWidget*>(QString::fromLatin1(k.name));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->geometry(), k.rect);
        if (k.caption) {
            auto* button = qobject_cast<QPushButton*>(w);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), QString::fromLatin1(k.caption));
        }
    }
}

TEST_F(app_WindowLayout, GridColumnTitlesAreTheFieldNames)
{
    const QStringList titles{"No", "Time", "Function", "Value", "Unit", "Value2", "Unit2"};
    // As the view shows them.
    QAbstractItemModel* shown = grid()->model();
    ASSERT_EQ(shown->columnCount(), titles.size());
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(shown->headerData(c, Qt::Horizontal).toString(), titles[c]);
    EXPECT_EQ(gridRows(), 0);
}

using app_StartState = WindowFixture;

TEST_F(app_StartState, LcdShowsItsDesignCaptionsAndNoLink)
{
    const char* digits[] = {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"};
    QString main;
    for (const char* d : digits)
        main += lcdText(d);
    EXPECT_EQ(main, QStringLiteral("199999"));
    QString second;
    for (const char* d : {"LCDd20", "LCDD2A", "LCDD2B", "LCDD2C"})
        second += lcdText(d);
    EXPECT_EQ(second, QStringLiteral("9999"));
    EXPECT_TRUE(lcdShown("CONokN"));
    EXPECT_FALSE(lcdShown("CONok"));
    EXPECT_FALSE(lcdShown("LCDsend")) << "no frame decoded yet";
}

TEST_F(app_StartState, ChartAxisPageAndLogAreAtTheirStartValues)
{
    EXPECT_EQ(window().ChartPager().LeftMaximum(), 22000.0);
    EXPECT_EQ(window().ChartPager().LeftMinimum(), -22000.0);
    auto* chart = child<ChartWidget>("Chtshow");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->LeftAxis().Maximum(), 22000.0);
    EXPECT_EQ(chart->LeftAxis().Minimum(), -22000.0);
    EXPECT_EQ(window().ChartPager().PageSize(), 100);
    EXPECT_EQ(pageLabel(), QStringLiteral("1"));
    EXPECT_EQ(window().Log().NextRecordNo(), 1);
    EXPECT_EQ(window().Log().LoggedCount(), 0);
    EXPECT_EQ(window().Log().RecordLimit(), 10000);
    EXPECT_TRUE(window().cds1().empty());
    EXPECT_FALSE(window().HasUnsavedRows());
    EXPECT_TRUE(dialogs_.records.empty()) << "start-up asks nothing";
}

TEST_F(app_StartState, DecimalSeparatorComesFromTheLocaleAndDrivesValueTexts)
{
    EXPECT_EQ(window().DecimalSeparatorText(), QString(QLocale::system().decimalPoint()));

    struct Case {
        const char* separator;
        const char* expected;
    };
    for (const Case& c : {Case{",", "1,23456"}, Case{".", "1.23456"}}) {
        SCOPED_TRACE(c.separator);
        window().setDecimalSeparator(QString::fromLatin1(c.separator));
        feed(DcVolts("123456", 0));
        EXPECT_EQ(window().CurrentReading().ValueText, c.expected);
        ASSERT_GT(gridRows(), 0);
        EXPECT_EQ(gridCell(gridRows() - 1, 3), QString::fromLatin1(c.expected));
    }
}

// Run by the locale entries of the test list (LC_ALL set, the separator it should give).
TEST_F(app_StartState, DecimalSeparatorFollowsTheUsersLocale)
{
    const QString expected = QString::fromUtf8(qgetenv("VARNEX_EXPECTED_DECIMAL_SEPARATOR"));
    if (expected.isEmpty())
        GTEST_SKIP() << "needs LC_ALL and VARNEX_EXPECTED_DECIMAL_SEPARATOR";
    EXPECT_EQ(window().DecimalSeparatorText(), expected);
    feed(DcVolts("123456", 0));
    EXPECT_EQ(QString::fromStdString(window().CurrentReading().ValueText), QStringLiteral("1%1").arg(expected) + "23456");
}

TEST_F(app_StartState, ClockReplacesItsDesignCaptionWithinATick)
{
    const QRegularExpression clock(QStringLiteral(R"(^\d\d : \d\d : \d\d     \d\d - \d\d - \d{4}$)"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock.match(lcdText("d_t")).hasMatch(); }, 2000))
        << lcdText("d_t").toStdString();
}

// The bar's COM side with COM ports that do not exist, so nothing real is ever opened.
class app_ConnectionBarClicks : public WindowFixture {
protected:
    void SetUp() override
    {
        SerialPortNames names;
        for (TComPortNumber port : {pnCOM1, pnCOM2, pnCOM3, pnCOM4})
            names.setOverride(port, "/nonexistent/varnex-test-com");
        makeWindow(names);
    }
    void clickPanel(int index) { QTest::mouseClick(bar()->portPanel(index), Qt::LeftButton); }
    int visiblePanel()
    {
        int shown = -1;
        for (int i = 0; i < 4; ++i) {
            if (bar()->portPanel(i)->isVisible()) {
                EXPECT_EQ(shown, -1) << "two port panels shown";
                shown = i;
            }
        }
        return shown;
    }
};

TEST_F(app_ConnectionBarClicks, PortPanelCyclesThroughTheFourPorts)
{
    const TComPortNumber expected[] = {pnCOM2, pnCOM3, pnCOM4, pnCOM1};
    for (int click = 0; click < 4; ++click) {
        SCOPED_TRACE(click);
        clickPanel(visiblePanel());
        EXPECT_EQ(visiblePanel(), (click + 1) % 4);
        EXPECT_EQ(window().COMM2().ComPort(), expected[click]);
    }
}

TEST_F(app_ConnectionBarClicks, ComDownOnAPortThatWillNotOpenSaysSoOnlyForKeys)
{
    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_TRUE(comCon()->isChecked()) << "the failed open leaves the button down";
    EXPECT_FALSE(window().COMM2().IsConnected());
    EXPECT_FALSE(usbButton()->isVisible());
    EXPECT_FALSE(bar()->portPanel(0)->isEnabled());
    EXPECT_TRUE(dialogs_.records.empty()) << "the failed open itself is not reported";

    clickPanel(0);
    EXPECT_EQ(window().COMM2().ComPort(), pnCOM1) << "no port change while connected";

    QWidget* keys = child("Keyboard");
    QTest::mouseClick(keys->findChild<QWidget*>(QStringLiteral("Shape29")), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.records.empty()) << "the CAL circle answers the right button only";
    QTest::mouseClick(keys->findChild<QWidget*>(QStringLiteral("dcv")), Qt::LeftButton);
    QTest::mouseClick(keys->findChild<QWidget*>(QStringLiteral("Shape29")), Qt::RightButton);
    EXPECT_EQ(dialogs_.texts(), (QStringList{QStringLiteral("COM Port is not opened yet!"),
                                             QStringLiteral("COM Port is not opened yet!")}));
    EXPECT_EQ(dialogs_.count(DialogKind::Error), 2);

    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_FALSE(comCon()->isChecked());
    EXPECT_TRUE(usbButton()->isVisible());
    EXPECT_TRUE(bar()->portPanel(0)->isEnabled());
}

TEST_F(app_ConnectionBarClicks, UsbHidesThePortSelectorAndGivesBackTheSelectedPort)
{
    clickPanel(0);
    ASSERT_EQ(visiblePanel(), 1);

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_EQ(visiblePanel(), -1);
    EXPECT_FALSE(comCon()->isVisible());
    EXPECT_EQ(usbButton()->text(), QStringLiteral("USB DISCONNECTION"));

    QTest::mouseClick(usbButton(), Qt::LeftButton);
    EXPECT_EQ(visiblePanel(), 1) << "COM 2, as chosen before";
    EXPECT_TRUE(bar()->portPanel(1)->isEnabled());
    EXPECT_TRUE(comCon()->isVisible());
    EXPECT_EQ(usbButton()->text(), QStringLiteral("USB CONNECTION")) << "without the blanks of the start caption";
    clickPanel(1);
    EXPECT_EQ(window().COMM2().ComPort(), pnCOM3);
}

TEST_F(app_ConnectionBarClicks, KeysGoToTheOpenUsbBridgeButCalibrationNeedsCom)
{
    QTest::mouseClick(usbButton(), Qt::LeftButton);
    ASSERT_TRUE(window().Usb().UsbOpen());
    QWidget* keys = child("Keyboard");
    QTest::mouseClick(keys->findChild<QWidget*>(QStringLiteral("ACV")), Qt::LeftButton);
    EXPECT_EQ(usb_->written(), (std::vector<std::uint8_t>{'B', 'B'}));
    EXPECT_TRUE(dialogs_.records.empty());

    QTest::mouseClick(keys->findChild<QWidget*>(QStringLiteral("Shape29")), Qt::RightButton);
    EXPECT_EQ(dialogs_.texts(), QStringList{QStringLiteral("COM Port is not opened yet!")});
    EXPECT_EQ(usb_->written().size(), 2u) << "calibration never goes over USB";
}

TEST_F(app_ConnectionBarClicks, KeysWithNoLinkSelectedSayNothing)
{
    for (const char* key : {"dcv", "DCI", "HOLD", "UP"})
        QTest::mouseClick(child("Keyboard")->findChild<QWidget*>(QString::fromLatin1(key)), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.records.empty());
}

TEST_F(app_ConnectionBarClicks, IndicatorGoesDarkOnTheThirdTickWithoutFrames)
{
    feed(DcVolts());
    QElapsedTimer since;
    since.start();
    ASSERT_TRUE(lcdShown("CONok"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lcdShown("CONokN"); }, 2000));
    EXPECT_GE(since.elapsed(), 180) << "frames stopped only just now";
    EXPECT_FALSE(lcdShown("CONok"));
}

} // namespace
} // namespace varnex::testing
