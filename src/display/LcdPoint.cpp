#include "display/LcdPoint.h"

#include <QPainter>

namespace varnex {

LcdPoint::LcdPoint(QWidget* parent) : QWidget(parent)
{
    // a filled square: opaque, so showing or hiding it repaints nothing beneath but the panel
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LcdPoint::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

} // namespace varnex
