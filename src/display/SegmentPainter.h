#pragma once
// Our own seven-segment painter: draws digit slots when no seven-segment font is installed,
// and tells which segments a character lights (the same shapes the font draws).
#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace varnex {

// Bits 0-6 are the segments a (top), b (top right), c (bottom right), d (bottom),
// e (bottom left), f (top left) and g (middle). Characters without a shape light nothing.
unsigned SegmentMask(QChar character);

// Paints glyphs left to right in equal cells filling box; ghost (when valid) paints every
// segment faintly first, like the unlit segments of a real glass.
void PaintSegments(QPainter& painter, const QRectF& box, const QString& glyphs, const QColor& lit,
                   const QColor& ghost);

} // namespace varnex
