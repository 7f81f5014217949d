#include "display/VirtualLcd.h"

#include "display/LcdLabel.h"
#include "display/LcdLayout.h"
#include "display/LcdPicture.h"
#include "display/LcdPoint.h"
#include "display/LcdSigns.h"

#include <QPaintEvent>
#include <QPainter>

namespace varnex {

namespace {

const QColor kSkyBlue(0xA6, 0xCA, 0xF0);

QString FallbackText(LcdSign sign)
{
    switch (sign) {
    case LcdSign::Hold: return QStringLiteral("HOLD");
    case LcdSign::Rel: return QStringLiteral("REL");
    case LcdSign::Data: return QStringLiteral("DATA");
    case LcdSign::Linked: return QStringLiteral("ON");
    case LcdSign::NotLinked: return QStringLiteral("--");
    }
    return {};
}

QWidget* CreateElement(const LcdElementSpec& entry, QWidget* parent)
{
    switch (entry.kind) {
    case LcdElementKind::Digit:
    case LcdElementKind::Segment: {
        auto* label = new LcdLabel(LcdFace::Segments, entry.fontPixels, parent);
        label->setGhost(entry.kind == LcdElementKind::Digit);
        // digit slots and the minus sign lie on the bare panel (they are built first, so only
        // legends and signs lie above them)
        label->setBackdrop(kSkyBlue);
        label->setGeometry(entry.box);
        return label;
    }
    case LcdElementKind::Legend: {
        auto* label = new LcdLabel(LcdFace::Legend, entry.fontPixels, parent);
        label->move(entry.box.topLeft());
        label->setTextWidthLimit(entry.textWidthLimit);
        label->setAutoSize(true);
        return label;
    }
    case LcdElementKind::Point: {
        auto* point = new LcdPoint(parent);
        point->setGeometry(entry.box);
        return point;
    }
    case LcdElementKind::Picture: {
        auto* picture = new LcdPicture(LoadLcdSign(entry.sign), FallbackText(entry.sign), parent);
        picture->setGeometry(entry.box);
        return picture;
    }
    }
    return nullptr;
}

} // namespace

VirtualLcd::VirtualLcd(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFixedSize(kPanelWidth, kPanelHeight);
    // The panel paints its whole box, so a change on it never repaints the meter face beneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    buildElements();
    resetToStartState();
}

void VirtualLcd::buildElements()
{
    for (const LcdElementSpec& entry : LcdLayout()) {
        QWidget* widget = CreateElement(entry, this);
        const QString name = QString::fromLatin1(entry.name);
        widget->setObjectName(name);
        m_byName.insert(name, widget);
    }
    for (std::size_t i = 0; i < kLcdElementCount; ++i) {
        const QString name = QString::fromLatin1(LcdElementName(static_cast<LcdElement>(i)));
        m_elements[i] = m_byName.value(name);
        m_labels[i] = qobject_cast<LcdLabel*>(m_elements[i]);
        Q_ASSERT(m_elements[i]);
    }
}

QWidget* VirtualLcd::element(const QString& name) const
{
    return m_byName.value(name);
}

void VirtualLcd::setElementText(const QString& name, const QString& text)
{
    if (auto* label = qobject_cast<LcdLabel*>(element(name))) {
        label->setText(text);
        refreshOverloadLook();
    }
}

bool VirtualLcd::showsOverload() const
{
    return label(LcdElement::LcdDa)->text() == QLatin1String("v")
        && label(LcdElement::LcdDb)->text() == QLatin1String("@");
}

void VirtualLcd::refreshOverloadLook()
{
    label(LcdElement::LcdD0)->setBlanked(showsOverload());
}

QString VirtualLcd::elementText(const QString& name) const
{
    const auto* label = qobject_cast<const LcdLabel*>(element(name));
    return label ? label->text() : QString();
}

void VirtualLcd::setElementVisible(const QString& name, bool visible)
{
    if (QWidget* widget = element(name))
        widget->setVisible(visible);
}

bool VirtualLcd::isElementShown(const QString& name) const
{
    const QWidget* widget = element(name);
    return widget && widget->isVisibleTo(this);
}

void VirtualLcd::setClockText(const QString& text)
{
    setElementText(QStringLiteral("d_t"), text);
}

void VirtualLcd::setLinked(bool linked)
{
    element(LcdElement::CONok)->setVisible(linked);
    element(LcdElement::CONokN)->setVisible(!linked);
}

void VirtualLcd::resetToStartState()
{
    for (const LcdElementSpec& entry : LcdLayout()) {
        QWidget* widget = m_byName.value(QString::fromLatin1(entry.name));
        if (auto* label = qobject_cast<LcdLabel*>(widget))
            label->setText(QString::fromLatin1(entry.caption));
        widget->setVisible(entry.shownAtStart);
    }
    refreshOverloadLook();
}

void VirtualLcd::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), kSkyBlue);
}

} // namespace varnex
