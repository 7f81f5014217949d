// The connection bar, the USB poll timer, the clock and indicator, and the keypad.
#include "app/TFCOMM.h"

#include "app/ConnectionBar.h"
#include "app/UserDialogs.h"
#include "display/VirtualLcd.h"

#include <QPushButton>
#include <QSignalBlocker>

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
