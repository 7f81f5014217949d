#include "display/KeyPicture.h"

#include "display/LcdFont.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>
#include <map>

namespace varnex {

namespace {

// Every drawing works in a 64 x 40 box; the painter is scaled to the image.
constexpr double kBoxWidth = 64;
constexpr double kBoxHeight = 40;

using Drawing = std::function<void(QPainter&)>;

void Ohm(QPainter& p)
{
    QFont font = LcdFont(LcdFace::Legend, 34);
    p.setFont(font);
    p.drawText(QRectF(0, 0, kBoxWidth, kBoxHeight), Qt::AlignCenter, QString(QChar(0x03A9)));
}

void Capacitor(QPainter& p)
{
    p.drawLine(QPointF(8, 20), QPointF(28, 20));
    p.drawLine(QPointF(36, 20), QPointF(56, 20));
    p.drawLine(QPointF(28, 8), QPointF(28, 32));
    p.drawLine(QPointF(36, 8), QPointF(36, 32));
}

void Beeper(QPainter& p)
{
    const QPolygonF speaker({{12, 15}, {20, 15}, {30, 6}, {30, 34}, {20, 25}, {12, 25}});
    p.setBrush(Qt::white);
    p.drawPolygon(speaker);
    p.setBrush(Qt::NoBrush);
    for (int wave = 0; wave < 3; ++wave) {
        const double r = 6 + wave * 6;
        p.drawArc(QRectF(30 - r, 20 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
}

void Diode(QPainter& p)
{
    p.drawLine(QPointF(6, 20), QPointF(24, 20));
    p.drawLine(QPointF(40, 20), QPointF(58, 20));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{24, 8}, {24, 32}, {40, 20}}));
    p.drawLine(QPointF(40, 8), QPointF(40, 32));
}

void TriangleUp(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{32, 6}, {50, 34}, {14, 34}}));
}

void TriangleDown(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{14, 6}, {50, 6}, {32, 34}}));
}

void AutoReturn(QPainter& p)
{
    QFont font = LcdFont(LcdFace::Legend, 15);
    p.setFont(font);
    p.drawText(QRectF(0, 0, kBoxWidth, 20), Qt::AlignCenter, QStringLiteral("AUTO"));
    // the return arrow: down from the right, then left, with its head
    QPainterPath arrow;
    arrow.moveTo(48, 22);
    arrow.lineTo(48, 31);
    arrow.lineTo(20, 31);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{13, 31}, {21, 26}, {21, 36}}));
}

const std::map<QString, Drawing>& Drawings()
{
    static const std::map<QString, Drawing> drawings = {
        {QStringLiteral("oumu"), Ohm},        {QStringLiteral("CAP"), Capacitor},
        {QStringLiteral("duanlou"), Beeper},  {QStringLiteral("DIODE"), Diode},
        {QStringLiteral("UP"), TriangleUp},   {QStringLiteral("AUTO"), AutoReturn},
        {QStringLiteral("DOWN"), TriangleDown},
    };
    return drawings;
}

} // namespace

QStringList KeyPictureNames()
{
    QStringList names;
    for (const auto& entry : Drawings())
        names << entry.first;
    return names;
}

QImage KeyPictureImage(const QString& keyName, const QSize& size)
{
    const auto found = Drawings().find(keyName);
    if (found == Drawings().end() || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size.width() / kBoxWidth, size.height() / kBoxHeight);
    painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    found->second(painter);
    return image;
}

QIcon KeyPicture(const QString& keyName)
{
    QIcon icon;
    for (const QSize size : {QSize(32, 20), QSize(64, 40)}) {
        const QImage image = KeyPictureImage(keyName, size);
        if (image.isNull())
            return {};
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace varnex
