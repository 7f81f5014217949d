#include "app/ToggleButtonStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace varnex {

QColor ToggleButtonStyle::downFace() { return QColor(0x1f, 0x3d, 0x66); }
QColor ToggleButtonStyle::downText() { return QColor(Qt::white); }

void ToggleButtonStyle::applyTo(QPushButton* button)
{
    // A style of the application's kind, so the button's up look matches the others.
    auto* style = new ToggleButtonStyle;
    style->setBaseStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(button);
    button->setStyle(style);
}

void ToggleButtonStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const
{
    if (element != PE_PanelButtonCommand || !(option->state & State_On)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Sunken: a dark face, a darker edge and a shadow along the top and left inside it.
    const QRect r = option->rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(r, downFace());
    painter->setPen(downFace().darker(200));
    painter->drawRect(r);
    painter->setPen(downFace().darker(150));
    painter->drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    painter->drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    painter->restore();
}

void ToggleButtonStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (element != CE_PushButtonLabel || !button || !(button->state & State_On)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionButton down(*button);
    down.palette.setColor(QPalette::ButtonText, downText());
    // The label moves a pixel down and right, as a pressed key does.
    down.rect.translate(1, 1);
    QProxyStyle::drawControl(element, &down, painter, widget);
}

} // namespace varnex
