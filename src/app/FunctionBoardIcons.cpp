#include "app/FunctionBoardIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace varnex {
namespace {

template <typename Draw>
QIcon paintIcon(Draw draw)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

} // namespace

QIcon CloseDataIcon()
{
    return paintIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(3, 2, 12, 16);
        p.setPen(QPen(QColor(200, 0, 0), 2.2));
        p.drawLine(9, 9, 18, 18);
        p.drawLine(18, 9, 9, 18);
    });
}

QIcon OpenLogIcon()
{
    return paintIcon([](QPainter& p) {
        p.setPen(QPen(QColor(120, 90, 0), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(2, 5, 14, 11);
        QPainterPath lid;
        lid.moveTo(4, 16);
        lid.lineTo(7, 9);
        lid.lineTo(19, 9);
        lid.lineTo(16, 16);
        lid.closeSubpath();
        p.setBrush(QColor(255, 225, 120));
        p.drawPath(lid);
    });
}

QIcon SaveLogIcon()
{
    return paintIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(40, 60, 150));
        p.drawRect(2, 2, 16, 16);
        p.setBrush(Qt::white);
        p.drawRect(5, 3, 10, 6);
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(6, 12, 8, 6);
    });
}

QIcon PrintIcon()
{
    return paintIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(5, 2, 10, 7);
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(2, 8, 16, 7);
        p.setBrush(Qt::white);
        p.drawRect(5, 13, 10, 5);
        p.setPen(QPen(QColor(0, 160, 0), 1.5));
        p.drawPoint(15, 10);
    });
}

} // namespace varnex
