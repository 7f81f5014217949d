#include "display/MeterFace.h"

#include "display/LcdFont.h"
#include "display/TerminalShape.h"

#include <QPainter>
#include <QPainterPath>

namespace varnex {

namespace {

const QColor kSkyBlue(0xA6, 0xCA, 0xF0);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kDesktop(0x3A, 0x6E, 0xA5);  // the classic desktop colour behind the meter
const QColor kCaseGrey(0x40, 0x40, 0x48);

constexpr int kTerminalWidth = 65;
constexpr int kTerminalHeight = 29;

struct TerminalPlace {
    Terminal terminal;
    int windowLeft;
    int windowTop;
    const char* legend;  // printed under the socket on the picture
};

constexpr std::array<TerminalPlace, kTerminalCount> kTerminalPlaces = {{
    {Terminal::ma, 690, 137, "mA"},
    {Terminal::v, 746, 136, "V\u03A9Hz"},
    {Terminal::caphz, 694, 198, "CAP/Hz"},
    {Terminal::comm, 744, 198, "COM"},
    {Terminal::a, 744, 246, "10A"},
}};

QPoint ToFace(int windowLeft, int windowTop)
{
    return QPoint(windowLeft - kMeterFaceLeft, windowTop - kMeterFaceTop);
}

QFont PlainFont(int pixels, bool bold)
{
    QFont font = LcdFont(LcdFace::Legend, pixels);
    font.setBold(bold);
    return font;
}

void PaintNamePlate(QPainter& painter, QPoint at, const QString& text, int pixels, bool bold)
{
    const QFont font = PlainFont(pixels, bold);
    const QFontMetrics metrics(font);
    const QRect plate(at, QSize(metrics.horizontalAdvance(text) + 2, metrics.height()));
    painter.fillRect(plate, kMaroon);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(plate, Qt::AlignLeft | Qt::AlignVCenter, text);
}

// The picture of the meter's input terminals: a dark case with a socket under each mark, the
// socket legends and the input limits.
void PaintTerminalPicture(QPainter& painter, const QRect& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(kCaseGrey);
    painter.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);

    painter.setPen(Qt::white);
    painter.setFont(PlainFont(11, true));
    painter.drawText(QRect(area.left(), area.top() + 6, area.width(), 16), Qt::AlignCenter,
                     QStringLiteral("INPUT"));

    for (const TerminalPlace& place : kTerminalPlaces) {
        const QRect mark(ToFace(place.windowLeft, place.windowTop), QSize(kTerminalWidth, kTerminalHeight));
        // the socket ring under the mark, slightly larger so it frames it
        painter.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 2));
        painter.setBrush(QColor(0x20, 0x20, 0x20));
        painter.drawEllipse(QRectF(mark).adjusted(-3, -3, 3, 3));
        painter.setPen(Qt::white);
        painter.setFont(PlainFont(10, true));
        painter.drawText(QRect(mark.left(), mark.bottom() + 4, mark.width(), 13), Qt::AlignCenter,
                         QString::fromUtf8(place.legend));
    }

    painter.setPen(QColor(0xFF, 0xD0, 0x40));
    painter.setFont(PlainFont(9, true));
    const QRect limits(area.left() + 4, area.bottom() - 62, area.width() - 8, 56);
    painter.drawText(limits, Qt::AlignCenter,
                     QStringLiteral("1000V DC\n750V AC MAX\nmA FUSED 400mA\n10A FUSED"));
    painter.restore();
}

} // namespace

MeterFace::MeterFace(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MeterFace"));
    setFixedSize(kMeterFaceWidth, kMeterFaceHeight);
    for (const TerminalPlace& place : kTerminalPlaces) {
        auto* shape = new TerminalShape(this);
        shape->setObjectName(QString::fromLatin1(TerminalName(place.terminal)));
        shape->setGeometry(QRect(ToFace(place.windowLeft, place.windowTop),
                                 QSize(kTerminalWidth, kTerminalHeight)));
        m_terminals[ToIndex(place.terminal)] = shape;
    }
}

TerminalShape* MeterFace::terminal(const QString& name) const
{
    for (std::size_t i = 0; i < kTerminalCount; ++i) {
        if (name == QLatin1String(TerminalName(static_cast<Terminal>(i))))
            return m_terminals[i];
    }
    return nullptr;
}

void MeterFace::setTerminalRed(Terminal which, bool red)
{
    m_terminals[ToIndex(which)]->setRed(red);
}

void MeterFace::setTerminalRed(const QString& name, bool red)
{
    if (TerminalShape* shape = terminal(name))
        shape->setRed(red);
}

void MeterFace::setAllTerminalsBlack()
{
    for (TerminalShape* shape : m_terminals)
        shape->setRed(false);
}

QRect MeterFace::terminalPictureRect()
{
    return QRect(680, 80, 145, 289);
}

void MeterFace::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kDesktop);
    painter.setPen(QPen(Qt::yellow, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    // the bezel: sky blue with a maroon border 8 pixels wide (its pen straddles the edge)
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bezel = QRectF(rect()).adjusted(10, 18, -10, -8);
    painter.setPen(QPen(kMaroon, 8));
    painter.setBrush(kSkyBlue);
    painter.drawRoundedRect(bezel, 24, 24);

    PaintNamePlate(painter, ToFace(64, 56), QStringLiteral("Varnex                 "), 19, true);
    PaintNamePlate(painter, ToFace(584, 56), QStringLiteral("5 1/2  True RMS  Multimeter"), 16, false);

    const QRect picture = terminalPictureRect().translated(-kMeterFaceLeft, -kMeterFaceTop);
    PaintTerminalPicture(painter, picture);
}

} // namespace varnex
