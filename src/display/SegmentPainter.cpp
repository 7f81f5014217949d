#include "display/SegmentPainter.h"

#include <QPainter>
#include <QPolygonF>

#include <array>

namespace varnex {

namespace {

enum Segment : unsigned { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

// One segment as a hexagon between two corner points of a cell of width 1 and height 2, of
// thickness t, with pointed ends that stop a small gap short of the corners.
QPolygonF Bar(QPointF from, QPointF to, double t)
{
    const double h = t / 2;
    const double gap = 0.03;
    if (from.y() == to.y()) {
        const double a = from.x() + gap, b = to.x() - gap, y = from.y();
        return QPolygonF({{a, y}, {a + h, y - h}, {b - h, y - h}, {b, y}, {b - h, y + h}, {a + h, y + h}});
    }
    const double a = from.y() + gap, b = to.y() - gap, x = from.x();
    return QPolygonF({{x, a}, {x + h, a + h}, {x + h, b - h}, {x, b}, {x - h, b - h}, {x - h, a + h}});
}

std::array<QPolygonF, 7> SegmentShapes()
{
    const double t = 0.24;
    const double l = t / 2, r = 1 - t / 2, top = t / 2, mid = 1, bottom = 2 - t / 2;
    return {Bar({l, top}, {r, top}, t),       Bar({r, top}, {r, mid}, t),
            Bar({r, mid}, {r, bottom}, t),    Bar({l, bottom}, {r, bottom}, t),
            Bar({l, mid}, {l, bottom}, t),    Bar({l, top}, {l, mid}, t),
            Bar({l, mid}, {r, mid}, t)};
}

void PaintMask(QPainter& painter, const std::array<QPolygonF, 7>& shapes, unsigned mask)
{
    for (unsigned bit = 0; bit < shapes.size(); ++bit) {
        if (mask & (1u << bit))
            painter.drawPolygon(shapes[bit]);
    }
}

} // namespace

unsigned SegmentMask(QChar character)
{
    switch (character.unicode()) {
    case '0': case 'O': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | D | E | G;
    case '3': return A | B | C | D | G;
    case '4': return B | C | F | G;
    case '5': case 'S': return A | C | D | F | G;
    case '6': return A | C | D | E | F | G;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | D | F | G;
    case 'A': return A | B | C | E | F | G;
    case 'b': return C | D | E | F | G;
    case 'C': return A | D | E | F;
    case 'd': return B | C | D | E | G;
    case 'E': return A | D | E | F | G;
    case 'F': return A | E | F | G;
    case 'H': return B | C | E | F | G;
    case 'L': return D | E | F;
    case 'n': return C | E | G;
    case 'o': return C | D | E | G;
    case 'P': return A | B | E | F | G;
    case 'r': return E | G;
    case 'U': return B | C | D | E | F;
    case '-': return G;
    default: return 0;
    }
}

void PaintSegments(QPainter& painter, const QRectF& box, const QString& glyphs, const QColor& lit,
                   const QColor& ghost)
{
    if (glyphs.isEmpty() && !ghost.isValid())
        return;
    const int cells = qMax(1, static_cast<int>(glyphs.size()));
    const double cellWidth = box.width() / cells;
    // a digit is 1 x 2 units; it fills most of its cell's width and the box's height, but never
    // gets fatter than a real glass's digits (height at least 1.6 times the width)
    const double unitY = box.height() / 2.05;
    const double unitX = qMin(cellWidth / 1.25, unitY * 2 / 1.6);
    static const std::array<QPolygonF, 7> shapes = SegmentShapes();

    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < cells; ++i) {
        painter.save();
        const double x = box.left() + i * cellWidth + (cellWidth - unitX) / 2;
        const double y = box.top() + (box.height() - 2 * unitY) / 2;
        painter.translate(x, y);
        painter.scale(unitX, unitY);
        if (ghost.isValid()) {
            painter.setBrush(ghost);
            PaintMask(painter, shapes, SegmentMask(QLatin1Char('8')));
        }
        if (i < glyphs.size()) {
            painter.setBrush(lit);
            PaintMask(painter, shapes, SegmentMask(glyphs.at(i)));
        }
        painter.restore();
    }
    painter.restore();
}

} // namespace varnex
