#include "display/LcdPicture.h"

#include "display/LcdFont.h"

#include <QPainter>

namespace varnex {

LcdPicture::LcdPicture(const QImage& picture, const QString& fallbackText, QWidget* parent)
    : QWidget(parent), m_picture(picture), m_fallbackText(fallbackText)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void LcdPicture::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void LcdPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_picture);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
    painter.setFont(LcdFont(LcdFace::Legend, qMax(8, height() * 3 / 5)));
    painter.drawText(rect(), Qt::AlignCenter, m_fallbackText);
}

} // namespace varnex
