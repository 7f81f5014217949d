// The program against a meter on COM1: the simulated meter on a pseudo-terminal, and a
// pseudo-terminal on which nothing is ever sent.
#include "EndToEndSupport.h"

#include "chart/TChartControl.h"
#include "links/SerialPortNames.h"
#include "links/TCommPortDriver.h"
#include "links/testing/ScriptedSiUsbLibrary.h"
#include "sim/PtyMeter.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace varnex::testing {
namespace {

using app_EndToEndSerial = EndToEndFixture;

TEST_F(app_EndToEndSerial, SimulatedMeterReadingsAndKeysOverCom1)
{
    start(MeterEnvironment::Simulated(SerialPortNames()));
    ASSERT_TRUE(lcdShown("CONokN"));

    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_TRUE(comCon()->isChecked());
    EXPECT_FALSE(usbButton()->isVisible()) << "one link at a time";
    EXPECT_TRUE(window().COMM2().IsConnected());

    ASSERT_TRUE(waitFor([&] { return lcdShown("CONok") && gridRows() > 0 && window().ChartPager().LoggedPoints() > 0; }))
        << "decoded " << window().DecodedFrames() << " dropped " << window().DroppedFrames();
    EXPECT_FALSE(lcdShown("CONokN"));
    EXPECT_EQ(lcdText("LcdDc1"), QStringLiteral("DCV "));
    EXPECT_EQ(window().DroppedFrames(), 0u);
    // Decoding, logging and drawing a frame leave the UI thread free.
    EXPECT_LT(LongestTickGapMs(1000), 40);

    pressKey("ACV");
    EXPECT_TRUE(waitFor([&] { return window().CurrentReading().FunctionText == "ACV"; }))
        << "function now " << window().CurrentReading().FunctionText;
    EXPECT_EQ(lcdText("LcdDc1"), QStringLiteral("ACV"));

    pressKey("oumu");
    EXPECT_TRUE(waitFor([&] { return lcdText("LcdDc1") == QLatin1String("OHM"); }));
    EXPECT_EQ(window().CurrentReading().FunctionText, "ohm");
    EXPECT_TRUE(dialogs_.records.empty()) << "keys on an open port say nothing";

    // Disconnect: the port closes and the indicator goes dark within about a second.
    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_FALSE(comCon()->isChecked());
    EXPECT_FALSE(window().COMM2().IsConnected());
    EXPECT_TRUE(usbButton()->isVisible());
    QElapsedTimer dark;
    dark.start();
    EXPECT_TRUE(waitFor([&] { return lcdShown("CONokN"); }, 1500));
    EXPECT_LT(dark.elapsed(), 1500);
    EXPECT_FALSE(lcdShown("CONok"));

    // No frames arrive once the port is closed.
    const int rows = gridRows();
    QTest::qWait(800);
    EXPECT_EQ(gridRows(), rows);
}

TEST_F(app_EndToEndSerial, ReadingsKeepBeingLoggedWhileTheQuitQuestionIsOpen)
{
    start(MeterEnvironment::Simulated(SerialPortNames()));
    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return gridRows() > 0; }));

    int rowsWhenAsked = -1;
    int rowsWhenAnswered = -1;
    dialogs_.whileOpen = [&] {
        rowsWhenAsked = gridRows();
        waitFor([&] { return gridRows() >= rowsWhenAsked + 2; });
        rowsWhenAnswered = gridRows();
    };
    dialogs_.unsavedAnswers = {UnsavedChoice::Cancel};
    QTest::mouseClick(bar()->quitButton(), Qt::LeftButton);
    dialogs_.whileOpen = nullptr;

    ASSERT_EQ(dialogs_.records.size(), 1u);
    EXPECT_GE(rowsWhenAnswered, rowsWhenAsked + 2) << "frames are decoded and logged under the question";
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().COMM2().IsConnected()) << "staying leaves the link open";
}

// A pseudo-terminal whose meter end never sends: the port opens and stays silent.
class SilentPty {
public:
    SilentPty()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        if (const char* name = ptsname(master_))
            slave_ = name;
        termios tio{};
        if (tcgetattr(master_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(master_, TCSANOW, &tio);
        }
    }
    ~SilentPty()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    SilentPty(const SilentPty&) = delete;
    SilentPty& operator=(const SilentPty&) = delete;

    bool ok() const { return master_ >= 0 && !slave_.empty(); }
    // The meter's end goes away, as when the cable is pulled: the port reads hang-ups.
    void closeMeterEnd()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    const std::string& slavePath() const { return slave_; }

    // What the program wrote, waiting up to timeoutMs for `count` bytes.
    std::string received(std::size_t count, int timeoutMs)
    {
        std::string out;
        QElapsedTimer clock;
        clock.start();
        while (out.size() < count && clock.elapsed() < timeoutMs) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[64];
                const ssize_t n = ::read(master_, buf, sizeof buf);
                if (n > 0)
                    out.append(buf, std::size_t(n));
            }
        }
        return out;
    }

private:
    int master_ = -1;
    std::string slave_;
};

TEST_F(app_EndToEndSerial, WindowKeepsHandlingEventsWhileTheComPortIsSilent)
{
    SilentPty pty;
    ASSERT_TRUE(pty.ok()) << "no pseudo-terminal on this system";
    SerialPortNames names;
    names.setOverride(pnCOM1, pty.slavePath());
    start(std::make_unique<MeterEnvironment>(names, std::make_unique<ScriptedSiUsbLibrary>()));

    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(window().COMM2().IsConnected());
    ASSERT_TRUE(window().COMM2().PollTimerActive());

    const qint64 gap = LongestTickGapMs(1000);
    EXPECT_LT(gap, 40) << "a poll of the silent port held up the UI thread";
    EXPECT_TRUE(lcdShown("CONokN")) << "no frames, no link sign";
    EXPECT_EQ(gridRows(), 0);

    // The port is really open: a key reaches the meter's end as its two letters.
    pressKey("dcv");
    EXPECT_EQ(pty.received(2, 2000), "AA");
    EXPECT_TRUE(dialogs_.records.empty());
}

TEST_F(app_EndToEndSerial, PulledCableNeitherFreezesNorNagsAndCanBeDisconnected)
{
    SilentPty pty;
    ASSERT_TRUE(pty.ok()) << "no pseudo-terminal on this system";
    SerialPortNames names;
    names.setOverride(pnCOM1, pty.slavePath());
    start(std::make_unique<MeterEnvironment>(names, std::make_unique<ScriptedSiUsbLibrary>()));
    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(window().COMM2().IsConnected());

    pty.closeMeterEnd();
    EXPECT_LT(LongestTickGapMs(600), 40);
    EXPECT_TRUE(dialogs_.records.empty()) << "a dead line is not reported box by box";
    EXPECT_TRUE(lcdShown("CONokN"));

    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_FALSE(comCon()->isChecked());
    EXPECT_FALSE(window().COMM2().IsConnected());
    EXPECT_TRUE(usbButton()->isVisible());
}

TEST(app_EventLoopProbe, SeesAHandlerThatBlocks)
{
    // The probe above must be able to fail: a 100 ms stall on the UI thread shows up.
    QTimer staller;
    staller.setInterval(150);
    QObject::connect(&staller, &QTimer::timeout, [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
    staller.start();
    EXPECT_GE(LongestTickGapMs(500), 90);
}

} // namespace
} // namespace varnex::testing
