#include "display/TerminalShape.h"

#include <QPainter>

namespace varnex {

TerminalShape::TerminalShape(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TerminalShape::setRed(bool red)
{
    if (red == m_red)
        return;
    m_red = red;
    update();
}

QColor TerminalShape::brushColor() const
{
    return m_red ? QColor(Qt::red) : QColor(Qt::black);
}

void TerminalShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(brushColor());
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace varnex
