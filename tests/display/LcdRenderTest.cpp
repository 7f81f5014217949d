// Renders the panel in a few meter states. Besides the checks, the pictures are written to
// VARNEX_RENDER_DIR (when set) so a person can look at them.
#include "display/LcdFont.h"
#include "display/LcdLabel.h"
#include "display/VirtualLcd.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct PanelState {
    const char* fileName;
    std::vector<std::pair<const char*, const char*>> texts;  // element, text (shown)
    std::vector<const char*> shown;
};

QImage Render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

void ApplyState(VirtualLcd& lcd, const PanelState& state)
{
    for (const char* name : {"LcdFH", "LCDk", "LCDM1", "LcdP0", "LcdP1", "LcdP2", "LcdP3", "LcdP4",
                             "LCDP21", "LCDP22", "LCDP23", "CONokN"})
        lcd.setElementVisible(QString::fromLatin1(name), false);
    for (const auto& [name, text] : state.texts) {
        lcd.setElementText(QString::fromLatin1(name), QString::fromUtf8(text));
        lcd.setElementVisible(QString::fromLatin1(name), true);
    }
    for (const char* name : state.shown)
        lcd.setElementVisible(QString::fromLatin1(name), true);
}

void MaybeSave(const QImage& image, const char* fileName)
{
    const QByteArray folder = qgetenv("VARNEX_RENDER_DIR");
    if (!folder.isEmpty())
        image.save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QLatin1String(fileName));
}

const std::vector<PanelState> kStates = {
    {"lcd_dcv.png",
     {{"LcdD0", "1"}, {"LcdDa", "2"}, {"LcdDb", "3"}, {"LcdDc", "4"}, {"LcdDd", "5"}, {"LcdDe", "6"},
      {"LCDd20", ""}, {"LCDD2A", ""}, {"LCDD2B", ""}, {"LCDD2C", ""},
      {"LcdDc1", "DCV "}, {"lcdrange", "2 V"}},
     {"LcdP0", "LcdV", "LcdAuto", "LCDsend", "CONok"}},
    {"lcd_ohm_overload.png",
     {{"LcdD0", "0"}, {"LcdDa", "v"}, {"LcdDb", "@"}, {"LcdDc", "d"}, {"LcdDd", "--"}, {"LcdDe", "--"},
      {"LCDd20", ""}, {"LCDD2A", ""}, {"LCDD2B", ""}, {"LCDD2C", ""},
      {"LcdDc1", "OHM"}, {"lcdrange", "2 0 0 K *"}},
     {"LcdP2", "LCDohm", "lcdkk", "LcdManu", "LCDHOLD", "LCDREL", "LCDsend", "CONok"}},
    {"lcd_frq.png",
     {{"LcdD0", "0"}, {"LcdDa", "5"}, {"LcdDb", "0"}, {"LcdDc", "0"}, {"LcdDd", "0"}, {"LcdDe", "1"},
      {"LCDd20", "0"}, {"LCDD2A", "0"}, {"LCDD2B", "5"}, {"LCDD2C", "0"},
      {"LcdDc1", "FRQ"}, {"lcdrange", "6 K Hz"}},
     {"LcdP0", "LCDP21", "LCDk", "LCDM1", "lcdhz", "lcdkk", "LcdAuto", "Labmax", "LABSTO", "LCDsend", "CONok"}},
    {"lcd_negative.png",
     {{"LcdD0", "0"}, {"LcdDa", "1"}, {"LcdDb", "2"}, {"LcdDc", "3"}, {"LcdDd", "4"}, {"LcdDe", "5"},
      {"LCDd20", ""}, {"LCDD2A", ""}, {"LCDD2B", ""}, {"LCDD2C", ""},
      {"LcdDc1", "DCI"}, {"lcdrange", "2 0 0 m A"}},
     {"LcdFH", "LcdP2", "LCDA", "Lcdm", "LcdManu", "LABCAL", "LABSETUP", "LCDsend", "CONok"}},
};

// Dark pixels inside a box of the rendered panel.
int DarkPixels(const QImage& image, const QRect& box)
{
    int dark = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qGray(image.pixel(x, y)) < 60)
                ++dark;
    return dark;
}

class LcdRender : public ::testing::TestWithParam<PanelState> {};

TEST_P(LcdRender, DrawsEveryShownTextOnTheSkyBluePanel)
{
    VirtualLcd lcd;
    ApplyState(lcd, GetParam());
    const QImage image = Render(lcd);
    MaybeSave(image, GetParam().fileName);

    EXPECT_EQ(image.pixelColor(2, 170), QColor(0xA6, 0xCA, 0xF0)) << "panel background";
    for (const auto& [name, text] : GetParam().texts) {
        const QWidget* element = lcd.element(QString::fromLatin1(name));
        ASSERT_NE(element, nullptr) << name;
        // the lower part of the box only: captions of the top row reach into the digit boxes
        const QRect ink = element->geometry().adjusted(0, element->height() / 4, 0, 0);
        const int dark = DarkPixels(image, ink);
        const QString drawn = static_cast<const LcdLabel*>(element)->drawnGlyphs().trimmed();
        if (drawn.isEmpty())
            EXPECT_EQ(dark, 0) << name << " should draw nothing for '" << text << "'";
        else
            EXPECT_GT(dark, 20) << name << " should draw '" << text << "'";
    }
}

INSTANTIATE_TEST_SUITE_P(States, LcdRender, ::testing::ValuesIn(kStates),
                         [](const auto& info) {
                             std::string name = info.param.fileName;
                             return name.substr(0, name.find('.'));
                         });

TEST(LcdRenderOwnPainter, ReadingIsDrawnWithoutTheSegmentFont)
{
    SetSegmentFontPath(QStringLiteral("/nonexistent/DSEG7.ttf"));
    VirtualLcd lcd;
    ApplyState(lcd, kStates[1]);  // the overload, drawn by our own segment painter
    const QImage image = Render(lcd);
    MaybeSave(image, "lcd_overload_own_painter.png");
    SetSegmentFontPath(QString());
    EXPECT_EQ(DarkPixels(image, lcd.element(QStringLiteral("LcdD0"))->geometry().adjusted(0, 30, 0, 0)), 0);
    EXPECT_GT(DarkPixels(image, lcd.element(QStringLiteral("LcdDa"))->geometry()), 200) << "the O";
    EXPECT_GT(DarkPixels(image, lcd.element(QStringLiteral("LcdDb"))->geometry()), 100) << "the L";
}

TEST(LcdRenderStart, DesignStateShowsDigitsAndTheNotLinkedSign)
{
    VirtualLcd lcd;
    const QImage image = Render(lcd);
    MaybeSave(image, "lcd_start.png");
    EXPECT_GT(DarkPixels(image, lcd.element(QStringLiteral("LcdD0"))->geometry()), 50);
    EXPECT_EQ(DarkPixels(image, QRect(544, 50, 40, 36)), 0) << "no unit sign at start";
}

} // namespace
} // namespace varnex
