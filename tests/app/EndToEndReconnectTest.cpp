// A USB-serial cable pulled and plugged in again while the window is connected: the port
// named by a stable link (as /dev/serial/by-id/... is) comes back by itself, and every
// reading sent on the new port is logged once.
#include "EndToEndSupport.h"

#include "links/LinkReconnector.h"
#include "links/TCommPortDriver.h"
#include "links/testing/ScriptedSiUsbLibrary.h"
#include "protocol/FrameEncoder.h"

#include <QDir>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace varnex::testing {
namespace {

// The meter's end of a pseudo-terminal, reached through a symbolic link that is moved
// to a new pseudo-terminal when the "cable" is plugged in again.
class ReplugPty {
public:
    explicit ReplugPty(std::string link) : link_(std::move(link)) { plug(); }
    ~ReplugPty()
    {
        pull();
        ::unlink(link_.c_str());
    }

    void plug()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        termios tio{};
        if (tcgetattr(master_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(master_, TCSANOW, &tio);
        }
        const std::string temporary = link_ + ".new";
        ::unlink(temporary.c_str());
        if (::symlink(::ptsname(master_), temporary.c_str()) == 0)
            ::rename(temporary.c_str(), link_.c_str()); // the link moves in one step
    }
    // The frame before the pull ended with its LF: the assembler still holds that "A",
    // so the first whole frame on the new port completes it.
    // The node goes with the cable: a freed pty number may go to another program at once.
    void pull()
    {
        ::unlink(link_.c_str());
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    bool ok() const { return master_ >= 0; }
    void send(int value)
    {
        DisplayState s;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06d", value);
        s.mainDigits = digits;
        s.mainPoint = 0;
        const WireFrame frame = EncodeFrame(s);
        // A fresh line starts with the LF of a frame before, the assembler's leading "A".
        if (!started_) {
            ASSERT_EQ(::write(master_, "\n", 1), 1);
        }
        started_ = true;
        ASSERT_EQ(::write(master_, frame.data(), frame.size()), ssize_t(frame.size()));
    }

private:
    std::string link_;
    int master_ = -1;
    bool started_ = false;
};

class app_EndToEndReconnect : public EndToEndFixture {
protected:
    LogTableModel& log() { return *window_->findChild<LogGrid*>(QStringLiteral("DBGrid1"))->logModel(); }
    std::vector<int> numbers()
    {
        std::vector<int> result;
        for (int r = 0; r < log().rowCount(); ++r)
            result.push_back(log().index(r, 0).data().toInt());
        return result;
    }
};

std::string LinkPath(const char* name)
{
    return QDir::tempPath().toStdString() + "/varnex_replug_" + std::to_string(::getpid()) + "_" + name;
}

TEST_F(app_EndToEndReconnect, APulledCableComesBackByItselfAndNothingIsLoggedTwice)
{
    ReplugPty cable(LinkPath("com1"));
    ASSERT_TRUE(cable.ok());
    SerialPortNames names;
    names.setOverride(pnCOM1, LinkPath("com1"));
    start(std::make_unique<MeterEnvironment>(names, std::make_unique<ScriptedSiUsbLibrary>()));
    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(window().COMM2().IsConnected());

    for (int i = 1; i <= 2; ++i)
        cable.send(i);
    ASSERT_TRUE(waitFor([&] { return gridRows() == 2; }))
        << "decoded " << window().DecodedFrames() << " dropped " << window().DroppedFrames();

    cable.pull();
    ASSERT_TRUE(waitFor([&] { return window().ComReconnect().retrying(); }));
    EXPECT_TRUE(comCon()->isChecked()) << "the button stays down while the port is tried again";
    EXPECT_FALSE(window().COMM2().IsConnected());
    // Retrying a port that is not there must not freeze the window.
    EXPECT_LT(LongestTickGapMs(1500), 40);

    cable.plug();
    ASSERT_TRUE(waitFor([&] { return window().COMM2().IsConnected(); }, 5000));
    EXPECT_FALSE(window().ComReconnect().retrying());
    for (int i = 3; i <= 5; ++i)
        cable.send(i);
    ASSERT_TRUE(waitFor([&] { return gridRows() == 5; }));
    QTest::qWait(300); // room for a row logged twice
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(dialogs_.records.empty()) << "no box per loss or per try";
}

TEST_F(app_EndToEndReconnect, PressingTheButtonUpStopsTheRetries)
{
    ReplugPty cable(LinkPath("com1_stop"));
    ASSERT_TRUE(cable.ok());
    SerialPortNames names;
    names.setOverride(pnCOM1, LinkPath("com1_stop"));
    start(std::make_unique<MeterEnvironment>(names, std::make_unique<ScriptedSiUsbLibrary>()));
    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(window().COMM2().IsConnected());

    cable.pull();
    ASSERT_TRUE(waitFor([&] { return window().ComReconnect().retrying(); }));
    QTest::mouseClick(comCon(), Qt::LeftButton);
    EXPECT_FALSE(comCon()->isChecked());
    EXPECT_FALSE(window().ComReconnect().retrying());

    cable.plug();
    QTest::qWait(1500);
    EXPECT_FALSE(window().COMM2().IsConnected()) << "given up means given up";
}

} // namespace
} // namespace varnex::testing
