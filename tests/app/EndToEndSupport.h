#pragma once
// The whole program on real links: a window over a given meter environment, waits with
// generous limits for a loaded machine, and a probe that tells whether the UI thread
// keeps handling events.
#include "FakeUserDialogs.h"

#include "app/ConnectionBar.h"
#include "app/KeypadBox.h"
#include "app/LogGrid.h"
#include "app/MeterEnvironment.h"
#include "app/TFCOMM.h"
#include "display/VirtualLcd.h"
#include "log/LogTableModel.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace varnex::testing {

// How long a frame may take to show: the meter sends one every 300-500 ms, so this is
// several frames even on a busy machine.
constexpr int kFrameWaitMs = 5000;

// The longest gap, in ms, between ticks of a 10 ms timer while the event loop runs for
// durationMs: what a user would feel as the window freezing.
inline qint64 LongestTickGapMs(int durationMs)
{
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (last >= 0)
            longest = std::max(longest, now - last);
        last = now;
    });
    QEventLoop loop;
    QTimer::singleShot(durationMs, &loop, &QEventLoop::quit);
    clock.start();
    ticker.start();
    loop.exec();
    return longest;
}

class EndToEndFixture : public ::testing::Test {
protected:
    void SetUp() override { QApplication::setQuitOnLastWindowClosed(false); }

    void start(std::unique_ptr<MeterEnvironment> env)
    {
        env_ = std::move(env);
        window_ = std::make_unique<TFCOMM>(*env_, dialogs_);
        window_->setDecimalSeparator(QStringLiteral("."));
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    void TearDown() override
    {
        if (window_) {
            dialogs_.unsavedAnswers = {UnsavedChoice::Discard};
            window_->close();
        }
        window_.reset();
        env_.reset();
    }

    TFCOMM& window() { return *window_; }
    VirtualLcd* lcd() { return window_->findChild<VirtualLcd*>(); }
    bool lcdShown(const char* name) { return lcd()->isElementShown(QString::fromLatin1(name)); }
    QString lcdText(const char* name) { return lcd()->elementText(QString::fromLatin1(name)); }
    ConnectionBar* bar() { return window_->findChild<ConnectionBar*>(QStringLiteral("AA")); }
    QPushButton* comCon() { return bar()->comButton(); }
    QPushButton* usbButton() { return bar()->usbButton(); }
    int gridRows() { return window_->findChild<LogGrid*>(QStringLiteral("DBGrid1"))->logModel()->rowCount(); }
    void pressKey(const char* controlName)
    {
        QWidget* key = window_->findChild<KeypadBox*>()->key(QString::fromLatin1(controlName));
        ASSERT_NE(key, nullptr) << controlName;
        QTest::mouseClick(key, Qt::LeftButton);
    }
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = kFrameWaitMs)
    {
        return QTest::qWaitFor(condition, timeoutMs);
    }

    FakeUserDialogs dialogs_;
    std::unique_ptr<MeterEnvironment> env_;
    std::unique_ptr<TFCOMM> window_;
};

} // namespace varnex::testing
