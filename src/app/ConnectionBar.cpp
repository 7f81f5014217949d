#include "app/ConnectionBar.h"

#include "app/ToggleButtonStyle.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace varnex {

PortPanel::PortPanel(const QString& caption, QWidget* parent)
    : QFrame(parent), m_label(new QLabel(caption, this))
{
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    m_label->setAlignment(Qt::AlignCenter);
    QFont f = m_label->font();
    f.setBold(true);
    f.setPixelSize(13);
    m_label->setFont(f);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_label);
    setCursor(Qt::PointingHandCursor);
}

QString PortPanel::caption() const { return m_label->text(); }

void PortPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PortPanel::changeEvent(QEvent* event)
{
    // A disabled selector reads as greyed out while COM is connected.
    if (event->type() == QEvent::EnabledChange) {
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, isEnabled() ? Qt::white : QColor(128, 128, 128));
        m_label->setPalette(pal);
    }
    QFrame::changeEvent(event);
}

ConnectionBar::ConnectionBar(QWidget* parent) : QFrame(parent)
{
    setObjectName("AA");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    for (int i = 0; i < 4; ++i) {
        auto* panel = new PortPanel(QStringLiteral("COM %1").arg(i + 1), this);
        panel->setObjectName(QStringLiteral("BtCOM%1").arg(i + 1));
        panel->setGeometry(8, 7, 97, 34);
        panel->setVisible(i == 0);
        connect(panel, &PortPanel::clicked, this, [this, i] { emit portPanelClicked(i); });
        m_ports[i] = panel;
    }

    m_com = new QPushButton(QStringLiteral("COM CONNECTION"), this);
    m_com->setObjectName("COMCon");
    m_com->setCheckable(true);
    m_com->setGeometry(116, 7, 170, 34);
    ToggleButtonStyle::applyTo(m_com);

    m_usb = new QPushButton(QStringLiteral(" USB CONNECTION "), this);
    m_usb->setObjectName("USB");
    m_usb->setCheckable(true);
    m_usb->setGeometry(296, 7, 170, 34);
    ToggleButtonStyle::applyTo(m_usb);

    // COMCon and USB: at most one down, both may be up.
    auto* group = new QButtonGroup(this);
    group->setExclusive(false);
    group->addButton(m_com);
    group->addButton(m_usb);
    connect(m_com, &QPushButton::toggled, this, [this](bool down) {
        if (down && m_usb->isChecked()) m_usb->setChecked(false);
    });
    connect(m_usb, &QPushButton::toggled, this, [this](bool down) {
        if (down && m_com->isChecked()) m_com->setChecked(false);
    });

    m_quit = new QPushButton(QStringLiteral("QUIT"), this);
    m_quit->setObjectName("BitBtn1");
    m_quit->setGeometry(752, 7, 85, 34);
}

PortPanel* ConnectionBar::portPanel(int index) const { return m_ports[index]; }

} // namespace varnex
