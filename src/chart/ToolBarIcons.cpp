#include "chart/ToolBarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace varnex {
namespace {

constexpr int kSize = 16;
const QColor kArrow(0, 0, 128);

QIcon Draw(const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

// A solid triangle pointing left (dir -1) or right (dir +1) with its tip at x.
void Arrow(QPainter& p, double tipX, int dir)
{
    const double back = tipX - dir * 6.0;
    QPainterPath path;
    path.moveTo(tipX, 8);
    path.lineTo(back, 3);
    path.lineTo(back, 13);
    path.closeSubpath();
    p.fillPath(path, kArrow);
}

void Magnifier(QPainter& p, bool plus)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.setBrush(QColor(220, 240, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 9.5, 9.5));
    p.setPen(QPen(QColor(90, 60, 20), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14.5, 14.5));
    p.setPen(QPen(Qt::black, 1.6));
    p.drawLine(QPointF(3.8, 6.25), QPointF(8.7, 6.25));
    if (plus)
        p.drawLine(QPointF(6.25, 3.8), QPointF(6.25, 8.7));
}

} // namespace

QIcon DiskIcon()
{
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(20, 20, 60), 1));
        p.setBrush(QColor(40, 60, 150));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 6)); // label
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(QRectF(4.5, 10.5, 7, 4)); // shutter
        p.fillRect(QRectF(9, 11.5, 1.5, 2.5), QColor(40, 60, 150));
    });
}

QIcon FirstPageIcon()
{
    return Draw([](QPainter& p) {
        p.fillRect(QRectF(3, 3, 2, 10), kArrow);
        Arrow(p, 5.5, -1);
        p.fillRect(QRectF(10, 7, 4, 2), kArrow);
    });
}

QIcon PreviousPageIcon()
{
    return Draw([](QPainter& p) {
        Arrow(p, 2, -1);
        Arrow(p, 8, -1);
    });
}

QIcon NextPageIcon()
{
    return Draw([](QPainter& p) {
        Arrow(p, 8, 1);
        Arrow(p, 14, 1);
    });
}

QIcon LastPageIcon()
{
    return Draw([](QPainter& p) {
        p.fillRect(QRectF(11, 3, 2, 10), kArrow);
        Arrow(p, 10.5, 1);
        p.fillRect(QRectF(2, 7, 4, 2), kArrow);
    });
}

QIcon EnlargeIcon()
{
    return Draw([](QPainter& p) { Magnifier(p, true); });
}

QIcon RestoreIcon()
{
    return Draw([](QPainter& p) { Magnifier(p, false); });
}

} // namespace varnex
