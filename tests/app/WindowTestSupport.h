#pragma once
// A main window on a scripted USB library (nothing attached to any COM port), with the
// fake dialogs answering for the user, and helpers to reach its widgets by design name
// and to feed it frames as the serial link would.
#include "FakeUserDialogs.h"

#include "app/ConnectionBar.h"
#include "app/LogGrid.h"
#include "app/MeterEnvironment.h"
#include "app/TFCOMM.h"
#include "chart/ChartToolBar.h"
#include "display/MeterFace.h"
#include "display/TerminalShape.h"
#include "display/VirtualLcd.h"
#include "links/testing/ScriptedSiUsbLibrary.h"
#include "log/LogStore.h"
#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"
#include "protocol/FrameEncoder.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace varnex::testing {

// The display state of a DC volt reading on the 2 V range: "1.23456" by default.
inline DisplayState DcVolts(const std::string& digits = "123456", int point = 0)
{
    DisplayState s;
    s.function = '0';
    s.range = '1';
    s.mainDigits = digits;
    s.mainPoint = point;
    return s;
}

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override { makeWindow(SerialPortNames()); }

    void makeWindow(SerialPortNames names)
    {
        // Tests close windows; the application must outlive them.
        QApplication::setQuitOnLastWindowClosed(false);
        auto usb = std::make_unique<ScriptedSiUsbLibrary>();
        usb_ = usb.get();
        env_ = std::make_unique<MeterEnvironment>(std::move(names), std::move(usb));
        window_ = std::make_unique<TFCOMM>(*env_, dialogs_);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        // A frame's text starts with the LF that ended the one before it: the line ending of
        // an earlier frame, so that the first frame a test feeds is whole.
        const std::uint8_t lf = 0x0A;
        window_->VarnexData(&lf, 1);
    }

    void TearDown() override
    {
        // A window the test left open must not ask anything on its way out.
        closeQuietly();
        window_.reset();
        env_.reset();
    }

    void closeQuietly()
    {
        if (!window_)
            return;
        dialogs_.unsavedAnswers = {UnsavedChoice::Discard};
        window_->close();
    }

    TFCOMM& window() { return *window_; }
    QWidget* client() { return window_->centralWidget(); }

    template <typename T = QWidget>
    T* child(const char* name)
    {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }

    VirtualLcd* findLcd() { return window_->findChild<VirtualLcd*>(); }
    QString lcdText(const char* name) { return findLcd()->elementText(QString::fromLatin1(name)); }
    bool lcdShown(const char* name) { return findLcd()->isElementShown(QString::fromLatin1(name)); }
    bool terminalRed(const char* name)
    {
        MeterFace* face = window_->findChild<MeterFace*>();
        return face && face->terminal(QString::fromLatin1(name)) && face->terminal(QString::fromLatin1(name))->isRed();
    }

    ConnectionBar* bar() { return child<ConnectionBar>("AA"); }
    QPushButton* comCon() { return bar()->comButton(); }
    QPushButton* usbButton() { return bar()->usbButton(); }
    LogGrid* grid() { return child<LogGrid>("DBGrid1"); }
    // The whole log behind the grid (the view itself holds only the rows that fit).
    QAbstractItemModel* gridModel() { return grid()->logModel(); }
    int gridRows() { return gridModel()->rowCount(); }
    QString gridCell(int row, int column) { return gridModel()->data(gridModel()->index(row, column)).toString(); }
    QString pageLabel() { return child<ChartToolBar>("Panel19")->Bt10()->text(); }

    // The meter sends one frame on the serial line.
    void feed(const DisplayState& state)
    {
        const WireFrame bytes = EncodeFrame(state);
        window_->VarnexData(bytes.data(), int(bytes.size()));
    }

    FakeUserDialogs dialogs_;
    ScriptedSiUsbLibrary* usb_ = nullptr;
    std::unique_ptr<MeterEnvironment> env_;
    std::unique_ptr<TFCOMM> window_;
};

} // namespace varnex::testing
