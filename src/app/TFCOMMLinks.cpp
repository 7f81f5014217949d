// The connection bar, the USB poll timer, the clock and indicator, and the keypad.
#include "app/TFCOMM.h"

#include "app/ConnectionBar.h"
#include "app/journal/Journal.h"
#include "app/MeterEnvironment.h"
#include "app/UserDialogs.h"
#include "display/VirtualLcd.h"
#include "links/LinkDiagnostics.h"
#include "links/LinkReconnector.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"

#include <QPushButton>
#include <QSignalBlocker>

#include <cstdio>

namespace varnex {

void TFCOMM::COMConClick()
{
    connection_.COMConClick(AA->comButton()->isChecked());
}

void TFCOMM::USBClick()
{
    connection_.USBClick(AA->usbButton()->isChecked());
}

void TFCOMM::applyConnectionView(const ConnectionViewState& view)
{
    for (int i = 0; i < 4; ++i) {
        PortPanel* panel = AA->portPanel(i);
        panel->setVisible(view.btCom[std::size_t(i)].visible);
        panel->setEnabled(view.btCom[std::size_t(i)].enabled);
    }
    QPushButton* com = AA->comButton();
    {
        const QSignalBlocker block(com);
        com->setChecked(view.comConDown);
    }
    com->setVisible(view.comCon.visible);
    com->setEnabled(view.comCon.enabled);

    QPushButton* usb = AA->usbButton();
    {
        const QSignalBlocker block(usb);
        usb->setChecked(view.usbDown);
    }
    usb->setVisible(view.usb.visible);
    usb->setEnabled(view.usb.enabled);
    if (usb->text() != view.usbCaption)
        usb->setText(view.usbCaption);

    if (view.timer1Enabled && !timer1_.isActive())
        timer1_.start();
    else if (!view.timer1Enabled && timer1_.isActive())
        timer1_.stop();

    Panel1->setLinked(view.conOkVisible);
    Panel1->setClockText(view.clockText);
}

bool TFCOMM::connectSerialAndReport()
{
    // No box for a port that will not open (the button stays down, as it always did);
    // the cause is on the tooltips and on standard error.
    const bool connected = comm2_->Connect();
    showLinkReport(SerialConnectReport(*comm2_, connected), AA->comButton());
    return connected;
}

void TFCOMM::disconnectSerialAndReport()
{
    comReconnect_->stop();
    comm2_->Disconnect();
    showLinkReport(LinkReport{}, AA->comButton());
}

void TFCOMM::openUsbAndReport()
{
    usbLink_->usb_dllClick();
    showLinkReport(UsbOpenReport(*usbLink_, env_.usbLibrary()), AA->usbButton());
}

void TFCOMM::closeUsbAndReport()
{
    usbReconnect_->stop();
    usbLink_->Close();
    showLinkReport(LinkReport{}, AA->usbButton());
}

void TFCOMM::bindLinkLossReports()
{
    // A lost link keeps its button down and is tried again every second until it opens
    // or the user presses the button up; logging goes on by itself when frames return.
    comReconnect_ = new LinkReconnector([this] { return comm2_->Connect(); }, 1000, this);
    comReconnect_->onRecovered = [this](std::uint32_t) {
        showLinkReport(SerialConnectReport(*comm2_, true), AA->comButton());
        std::fprintf(stderr, "varnex: %s is back\n", ComPortDeviceName(comm2_->ComPort()));
        std::fflush(stderr);
        if (journal_)
            journal_->linkEvent("link_back", ComPortDeviceName(comm2_->ComPort()));
    };
    usbReconnect_ = new LinkReconnector([this] { return usbLink_->Reopen(); }, 1000, this);
    usbReconnect_->onRecovered = [this](std::uint32_t) {
        showLinkReport(UsbOpenReport(*usbLink_, env_.usbLibrary()), AA->usbButton());
        std::fprintf(stderr, "varnex: the USB bridge is back\n");
        std::fflush(stderr);
        if (journal_)
            journal_->linkEvent("link_back", "USB");
    };
    comm2_->SetOnPortLost([this](TCommPortDriver*, const std::string& cause) {
        LinkReport report = SerialLostReport(*comm2_, cause);
        report.tooltip += "\nTrying again every second; press COM CONNECTION up to stop.";
        showLinkReport(report, AA->comButton());
        if (journal_)
            journal_->linkEvent("link_lost", cause);
        comReconnect_->linkLost(cause);
    });
    usbLink_->setOnDeviceLost([this](const std::string& cause) {
        LinkReport report = UsbLostReport(cause);
        report.tooltip += "\nTrying again every second; press USB CONNECTION up to stop.";
        showLinkReport(report, AA->usbButton());
        if (journal_)
            journal_->linkEvent("link_lost", cause);
        usbReconnect_->linkLost(cause);
    });
}

void TFCOMM::showLinkReport(const LinkReport& report, QPushButton* button)
{
    const QString tip = QString::fromStdString(report.tooltip);
    button->setToolTip(tip);
    Panel1->element(LcdElement::CONok)->setToolTip(tip);
    Panel1->element(LcdElement::CONokN)->setToolTip(tip);
    if (!report.errorLine.empty()) {
        std::fprintf(stderr, "varnex: %s\n", report.errorLine.c_str());
        std::fflush(stderr);
    }
}

void TFCOMM::EndWithoutQuestions()
{
    endingWithoutQuestions_ = true;
    close();
}

void TFCOMM::PressLinkButton(ConnectionMode mode)
{
    QPushButton* button = mode == ConnectionMode::Com ? AA->comButton() : AA->usbButton();
    if (mode != ConnectionMode::Idle && button->isVisible() && !button->isChecked())
        button->click();
}

void TFCOMM::keyPressed(const KeyDefinition* key, KeyTrigger trigger)
{
    const ConnectionViewState& view = connection_.view();
    keypad_->press(*key, trigger, LinkButtons{view.comConDown, view.usbDown});
}

void TFCOMM::KeypadMessageBoxes::showError(const std::string& text)
{
    dialogs_.error(QString::fromStdString(text));
}

} // namespace varnex
