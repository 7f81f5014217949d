#include "display/LcdLabel.h"

#include "display/SegmentPainter.h"

#include <QFontMetricsF>
#include <QPainter>

namespace varnex {

namespace {

const QColor kLitSegment(Qt::black);
const QColor kGhostSegment(0, 0, 0, 20);
// How much of the font height a digit's ink fills (the rest is the font's leading and accents).
constexpr double kDigitInkShare = 0.66;

} // namespace

LcdLabel::LcdLabel(LcdFace face, int pixelHeight, QWidget* parent)
    : QWidget(parent), m_face(face), m_pixelHeight(pixelHeight), m_font(LcdFont(face, pixelHeight))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
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

void LcdLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        resize(sizeHint());
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
        return QSize(qCeil(metrics.horizontalAdvance(glyphs.isEmpty() ? QStringLiteral(" ") : glyphs)) + 1,
                     qCeil(metrics.height()));
    }
    return QSize(qCeil(metrics.horizontalAdvance(QStringLiteral("8"))), m_pixelHeight);
}

void LcdLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QString glyphs = drawnGlyphs();
    if (m_face == LcdFace::Legend) {
        painter.setFont(m_font);
        painter.setPen(kLitSegment);
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
