#include "display/LcdLabel.h"

#include "display/SegmentPainter.h"

#include <QCache>
#include <QFontMetricsF>
#include <QPainter>

namespace varnex {

namespace {

const QColor kLitSegment(Qt::black);
const QColor kGhostSegment(0, 0, 0, 20);
// How much of the font height a digit's ink fills (the rest is the font's leading and accents).
constexpr double kDigitInkShare = 0.66;

// Segment looks drawn so far, by everything that decides their pixels. Cost is in pixels: a
// main digit is 6 k, so a panel's digit looks take a small part of the limit. Images and not
// pixmaps, so the cache may outlive the application object at exit.
QCache<QString, QImage>& SegmentLooks()
{
    static QCache<QString, QImage> looks(1024 * 1024);
    return looks;
}

bool g_cachedLooks = true;

} // namespace

LcdLabel::LcdLabel(LcdFace face, int pixelHeight, QWidget* parent)
    : QWidget(parent), m_face(face), m_pixelHeight(pixelHeight), m_font(LcdFont(face, pixelHeight))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    m_fontKey = m_font.key();
}

void LcdLabel::setBackdrop(const QColor& backdrop)
{
    m_backdrop = backdrop.isValid() && backdrop.alpha() == 255 ? backdrop : QColor();
    setAttribute(Qt::WA_TranslucentBackground, !m_backdrop.isValid());
    setAttribute(Qt::WA_OpaquePaintEvent, m_backdrop.isValid());
    update();
}

void LcdLabel::setText(const QString& meterText)
{
    if (meterText == m_text)
        return;
    m_text = meterText;
    if (m_autoSize)
        resize(sizeHint());
    update();
}

void LcdLabel::setGhost(bool ghost)
{
    if (ghost == m_ghost)
        return;
    m_ghost = ghost;
    update();
}

void LcdLabel::setCachedLooks(bool cached)
{
    g_cachedLooks = cached;
    SegmentLooks().clear();
}

void LcdLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        resize(sizeHint());
}

void LcdLabel::setTextWidthLimit(int pixels)
{
    m_textWidthLimit = qMax(0, pixels);
    if (m_autoSize)
        resize(sizeHint());
    update();
}

void LcdLabel::setBlanked(bool blanked)
{
    if (blanked == m_blanked)
        return;
    m_blanked = blanked;
    update();
}

QString LcdLabel::drawnGlyphs() const
{
    if (m_blanked)
        return QString();
    return m_face == LcdFace::Segments ? SegmentGlyphs(m_text) : LegendGlyphs(m_text);
}

QSize LcdLabel::sizeHint() const
{
    const QFontMetricsF metrics(m_font);
    if (m_face == LcdFace::Legend) {
        const QString glyphs = drawnGlyphs();
        int width = qCeil(metrics.horizontalAdvance(glyphs.isEmpty() ? QStringLiteral(" ") : glyphs)) + 1;
        if (m_textWidthLimit > 0)
            width = qMin(width, m_textWidthLimit);
        return QSize(width, qCeil(metrics.height()));
    }
    return QSize(qCeil(metrics.horizontalAdvance(QStringLiteral("8"))), m_pixelHeight);
}

void LcdLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QString glyphs = drawnGlyphs();
    if (m_face == LcdFace::Segments && g_cachedLooks) {
        painter.drawImage(0, 0, segmentLook(glyphs));
        return;
    }
    if (m_backdrop.isValid())
        painter.fillRect(rect(), m_backdrop);
    paintLook(painter, glyphs);
}

QImage LcdLabel::segmentLook(const QString& glyphs)
{
    const qreal ratio = devicePixelRatioF();
    const QString key = QStringLiteral("%1|%2|%3x%4|%5|%6|%7|%8|%9")
                            .arg(glyphs, m_fontKey, QString::number(width()), QString::number(height()),
                                 QString::number(m_pixelHeight), QString::number(int(m_ghost)),
                                 QString::number(m_backdrop.isValid() ? m_backdrop.rgba() : 0u),
                                 QString::number(ratio), SegmentFontFamily());
    if (const QImage* look = SegmentLooks().object(key))
        return *look;
    QImage look(size() * ratio,
                m_backdrop.isValid() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    look.setDevicePixelRatio(ratio);
    look.fill(m_backdrop.isValid() ? m_backdrop : QColor(Qt::transparent));
    {
        QPainter painter(&look);
        paintLook(painter, glyphs);
    }
    SegmentLooks().insert(key, new QImage(look), qMax(1, look.width() * look.height()));
    return look;
}

void LcdLabel::paintLook(QPainter& painter, const QString& glyphs)
{
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_face == LcdFace::Legend) {
        painter.setFont(m_font);
        painter.setPen(kLitSegment);
        // A text wider than its limit is narrowed, keeping its height, so it ends inside the box.
        const double natural = QFontMetricsF(m_font).horizontalAdvance(glyphs) + 1;
        if (m_textWidthLimit > 0 && natural > width()) {
            painter.scale(width() / natural, 1.0);
            painter.drawText(QRectF(0, 0, natural, height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             glyphs);
            return;
        }
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, glyphs);
        return;
    }
    if (SegmentFontFamily().isEmpty()) {
        const double inkHeight = qMin<double>(height(), kDigitInkShare * m_pixelHeight);
        PaintSegments(painter, QRectF(0, height() - inkHeight, width(), inkHeight), glyphs, kLitSegment,
                      m_ghost ? kGhostSegment : QColor());
        return;
    }
    paintSegmentFont(painter, glyphs);
}

void LcdLabel::paintSegmentFont(QPainter& painter, const QString& glyphs)
{
    // The font's "!" is a blank of a digit's width; a plain space would be narrower.
    QString cells = glyphs;
    cells.replace(QLatin1Char(' '), QLatin1Char('!'));
    const int count = qMax(1, static_cast<int>(cells.size()));

    const QFontMetricsF metrics(m_font);
    const QRectF eight = metrics.tightBoundingRect(QStringLiteral("8"));
    const double advance = metrics.horizontalAdvance(QStringLiteral("8"));
    if (eight.height() <= 0 || advance <= 0)
        return;
    // The digits stand on the box's bottom edge (where the decimal points are) and are as tall
    // as a digit of the element's font height; a narrow box squeezes them sideways, as the
    // tall, narrow digits of a real glass are.
    const double wantedHeight = qMin<double>(height(), kDigitInkShare * m_pixelHeight);
    const double scaleY = wantedHeight / eight.height();
    const double scaleX = qMin(scaleY, width() / (advance * count));
    const double drawnWidth = advance * count * scaleX;

    painter.translate((width() - drawnWidth) / 2, height() - wantedHeight);
    painter.scale(scaleX, scaleY);
    painter.translate(0, -eight.top());
    painter.setFont(m_font);
    if (m_ghost) {
        painter.setPen(kGhostSegment);
        painter.drawText(QPointF(0, 0), QString(count, QLatin1Char('8')));
    }
    painter.setPen(kLitSegment);
    painter.drawText(QPointF(0, 0), cells);
}

} // namespace varnex
