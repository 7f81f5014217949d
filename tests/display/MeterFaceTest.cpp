#include "display/MeterFace.h"
#include "display/TerminalShape.h"

#include <QImage>

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct TerminalPlacement {
    Terminal terminal;
    const char* name;
    int windowLeft;
    int windowTop;
};

const TerminalPlacement kTerminals[] = {
    {Terminal::ma, "ma", 690, 137},     {Terminal::v, "v", 746, 136},
    {Terminal::caphz, "caphz", 694, 198}, {Terminal::comm, "comm", 744, 198},
    {Terminal::a, "a", 744, 246},
};

QImage Render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

TEST(MeterFace, HasItsAreaSize)
{
    MeterFace face;
    EXPECT_EQ(face.size(), QSize(845, 353));
}

TEST(MeterFace, TerminalMarksSitAtTheirWindowPlaces)
{
    MeterFace face;
    face.move(kMeterFaceLeft, kMeterFaceTop);  // where the window puts it
    for (const TerminalPlacement& t : kTerminals) {
        SCOPED_TRACE(t.name);
        TerminalShape* shape = face.terminal(t.terminal);
        ASSERT_NE(shape, nullptr);
        EXPECT_EQ(shape, face.terminal(QString::fromLatin1(t.name)));
        EXPECT_EQ(shape->objectName(), QString::fromLatin1(t.name));
        EXPECT_EQ(shape->size(), QSize(65, 29));
        EXPECT_EQ(shape->mapTo(&face, QPoint(0, 0)) + face.pos(), QPoint(t.windowLeft, t.windowTop));
        EXPECT_TRUE(face.rect().contains(shape->geometry()));
    }
    EXPECT_EQ(face.terminal(QStringLiteral("x")), nullptr);
}

TEST(MeterFace, TerminalsStartBlackAndTurnRedOneByOne)
{
    MeterFace face;
    for (const TerminalPlacement& t : kTerminals)
        EXPECT_EQ(face.terminal(t.terminal)->brushColor(), QColor(Qt::black)) << t.name;

    face.setTerminalRed(QStringLiteral("comm"), true);
    face.setTerminalRed(Terminal::v, true);
    for (const TerminalPlacement& t : kTerminals) {
        const bool red = t.terminal == Terminal::comm || t.terminal == Terminal::v;
        EXPECT_EQ(face.terminal(t.terminal)->isRed(), red) << t.name;
    }
    face.setTerminalRed(QStringLiteral("nope"), true);  // ignored
    face.setAllTerminalsBlack();
    for (const TerminalPlacement& t : kTerminals)
        EXPECT_FALSE(face.terminal(t.terminal)->isRed()) << t.name;
}

TEST(MeterFace, MarksArePaintedInTheirBrushWithAWhiteOutline)
{
    MeterFace face;
    face.setTerminalRed(Terminal::a, true);
    const QImage image = Render(face);
    for (const TerminalPlacement& t : kTerminals) {
        SCOPED_TRACE(t.name);
        const QPoint local(t.windowLeft - kMeterFaceLeft, t.windowTop - kMeterFaceTop);
        const QColor centre = image.pixelColor(local + QPoint(32, 14));
        EXPECT_EQ(centre, t.terminal == Terminal::a ? QColor(Qt::red) : QColor(Qt::black));
        // the top of the outline, in the middle of the ellipse's width
        const QColor outline = image.pixelColor(local + QPoint(32, 0));
        EXPECT_GT(qGray(outline.rgb()), 180);
    }
}

TEST(MeterFace, DrawsTheBezelAndNamePlates)
{
    MeterFace face;
    const QImage image = Render(face);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::yellow)) << "yellow outline";
    EXPECT_EQ(image.pixelColor(3, 200), QColor(0x3A, 0x6E, 0xA5)) << "desktop colour";
    EXPECT_EQ(image.pixelColor(300, 200), QColor(0xA6, 0xCA, 0xF0)) << "sky-blue bezel";
    EXPECT_EQ(image.pixelColor(10, 200), QColor(0x80, 0x00, 0x00)) << "maroon border";
    // the model name plate: maroon with white letters
    int white = 0;
    for (int x = 60; x < 160; ++x)
        for (int y = 8; y < 28; ++y)
            white += image.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_GT(white, 50);
    EXPECT_EQ(MeterFace::terminalPictureRect(), QRect(680, 80, 145, 289));
}

} // namespace
} // namespace varnex
