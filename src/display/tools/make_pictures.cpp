// Draws the signs of the virtual LCD and writes them into src/display/resources:
//   hold.bmp, conok.bmp, conokn.bmp (bitmaps) and send.jpg, rel.jpg (JPEG).
// Run it once when a sign changes and commit the files; the program only reads them.
//   varnex_make_pictures <resources folder>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor kGlass(0xA6, 0xCA, 0xF0);  // the sky blue of the LCD panel

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kGlass);
    return image;
}

QFont Bold(int pixels)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

QImage HoldSign()
{
    QImage image = Blank(48, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 2, 46, 20), 4, 4);
    p.setPen(kGlass);
    p.setFont(Bold(15));
    p.drawText(QRect(0, 2, 48, 20), Qt::AlignCenter, QStringLiteral("HOLD"));
    return image;
}

QImage RelSign()
{
    QImage image = Blank(46, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath delta;
    delta.moveTo(7, 4);
    delta.lineTo(13, 19);
    delta.lineTo(1, 19);
    delta.closeSubpath();
    p.drawPath(delta);
    p.setFont(Bold(15));
    p.drawText(QRect(15, 2, 31, 20), Qt::AlignCenter, QStringLiteral("REL"));
    return image;
}

// The data sign: a frame leaving the meter, drawn as a small plug with an arrow.
QImage DataSign()
{
    QImage image = Blank(52, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 8, 14, 14));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(6, 11, 8, 3));
    p.drawRect(QRectF(6, 16, 8, 3));
    p.drawLine(QPointF(19, 15), QPointF(40, 15));
    const QPolygonF head({{48, 15}, {38, 9}, {38, 21}});
    p.drawPolygon(head);
    p.setFont(Bold(8));
    p.drawText(QRect(18, 0, 34, 10), Qt::AlignCenter, QStringLiteral("DATA"));
    return image;
}

// The link signs: a computer beside a meter, both screens lit or both dark.
QImage LinkSign(bool linked)
{
    QImage image = Blank(25, 24);
    QPainter p(&image);
    const QColor lit(0x40, 0xFF, 0x40);
    const QColor dark(0x30, 0x30, 0x30);
    const QColor screen = linked ? lit : dark;
    p.setPen(Qt::black);
    // computer: monitor, stand, base
    p.setBrush(QColor(0xE0, 0xE0, 0xE0));
    p.drawRect(0, 3, 13, 11);
    p.setBrush(screen);
    p.drawRect(2, 5, 9, 7);
    p.fillRect(5, 15, 3, 3, Qt::black);
    p.fillRect(2, 18, 9, 2, Qt::black);
    // meter: a tall case with a small screen and a knob
    p.setBrush(QColor(0xFF, 0xD0, 0x40));
    p.drawRect(15, 2, 9, 19);
    p.setBrush(screen);
    p.drawRect(16, 4, 7, 5);
    p.setBrush(Qt::black);
    p.drawEllipse(17, 12, 5, 5);
    // the cable between them
    p.setPen(QPen(linked ? Qt::black : QColor(0x70, 0x70, 0x70), 1, linked ? Qt::SolidLine : Qt::DotLine));
    p.drawLine(13, 21, 19, 21);
    return image;
}

bool Save(const QImage& image, const QString& path, const char* format, int quality = -1)
{
    if (image.save(path, format, quality))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    bool ok = Save(HoldSign(), folder + QStringLiteral("hold.bmp"), "BMP");
    ok = Save(LinkSign(true), folder + QStringLiteral("conok.bmp"), "BMP") && ok;
    ok = Save(LinkSign(false), folder + QStringLiteral("conokn.bmp"), "BMP") && ok;
    ok = Save(DataSign(), folder + QStringLiteral("send.jpg"), "JPG", 95) && ok;
    ok = Save(RelSign(), folder + QStringLiteral("rel.jpg"), "JPG", 95) && ok;
    return ok ? 0 : 1;
}
