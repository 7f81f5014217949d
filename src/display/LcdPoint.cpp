#include "display/LcdPoint.h"

#include <QPainter>

namespace varnex {

LcdPoint::LcdPoint(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void LcdPoint::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

} // namespace varnex
