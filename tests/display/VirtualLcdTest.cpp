#include "display/LcdLabel.h"
#include "display/LcdPicture.h"
#include "display/VirtualLcd.h"

#include <QImage>

#include <set>

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct Placement {
    const char* name;
    int left;
    int top;
    const char* caption;  // design caption, nullptr for points and pictures
};

// Left and top of every element on Panel1, with its design caption.
const std::vector<Placement> kPlacements = {
    {"LcdD0", 56, 12, "1"},      {"LcdDa", 128, 12, "9"},    {"LcdDb", 200, 12, "9"},
    {"LcdDc", 272, 12, "9"},     {"LcdDd", 344, 12, "9"},    {"LcdDe", 416, 12, "9"},
    {"LcdP0", 111, 121, nullptr}, {"LcdP1", 184, 121, nullptr}, {"LcdP2", 255, 121, nullptr},
    {"LcdP3", 328, 121, nullptr}, {"LcdP4", 400, 121, nullptr},
    {"LcdFH", 16, 20, "-"},
    {"LCDd20", 472, 100, "9"},   {"LCDD2A", 510, 100, "9"},  {"LCDD2B", 550, 100, "9"},
    {"LCDD2C", 588, 100, "9"},
    {"LCDP21", 500, 153, nullptr}, {"LCDP22", 541, 153, nullptr}, {"LCDP23", 579, 153, nullptr},
    {"LCDk", 618, 132, "k"},     {"LCDM1", 628, 137, "Hz"},
    {"LcdDc1", 77, 12, "DC"},    {"lcdrange", 248, 12, "Range"},
    {"LcdV", 544, 50, "V"},      {"LCDA", 544, 50, "A"},     {"LCDohm", 544, 50, "*"},
    {"LCDF", 544, 50, "F"},      {"lcdhz", 544, 50, "Hz"},
    {"Lcdm", 504, 56, "m"},      {"lcdkk", 510, 56, "K"},    {"LCDMM", 504, 56, "M"},
    {"LCDn", 512, 56, "n"},      {"lcduu", 512, 56, "u"},
    {"LcdAuto", 168, 12, "Auto "}, {"LcdManu", 168, 12, "MANU"},
    {"Labmax", 340, 12, "MAX"},  {"Labmin", 340, 12, "MIN"}, {"LABAVG", 340, 12, "AVG"},
    {"LABALL", 340, 12, "ALL"},  {"LABSTO", 412, 12, "ST0"}, {"LABRCL", 412, 12, "RCL"},
    {"LABCAL", 492, 12, "CAL"},  {"LABSETUP", 500, 12, "SETUP"},
    {"LCDHOLD", 600, 40, nullptr}, {"LCDREL", 601, 74, nullptr}, {"LCDsend", 597, 4, nullptr},
    {"CONok", 13, 5, nullptr},   {"CONokN", 13, 5, nullptr},
    {"d_t", 32, 144, "displaytime"},
};

QString Name(const char* name) { return QString::fromLatin1(name); }

TEST(VirtualLcd, IsPanel1OfItsDesignSize)
{
    VirtualLcd lcd;
    EXPECT_EQ(lcd.objectName(), QStringLiteral("Panel1"));
    EXPECT_EQ(lcd.size(), QSize(654, 177));
}

TEST(VirtualLcd, EveryElementSitsAtItsPlaceWithItsCaption)
{
    VirtualLcd lcd;
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.name);
        QWidget* element = lcd.element(Name(p.name));
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->objectName(), Name(p.name));
        EXPECT_EQ(element->parentWidget(), &lcd);
        EXPECT_EQ(element->pos(), QPoint(p.left, p.top));
        EXPECT_TRUE(QRect(0, 0, 654, 177).contains(element->geometry())) << "inside the panel";
        if (p.caption)
            EXPECT_EQ(lcd.elementText(Name(p.name)), QString::fromLatin1(p.caption));
        else
            EXPECT_EQ(qobject_cast<LcdLabel*>(element), nullptr) << "a point or picture";
    }
}

TEST(VirtualLcd, EveryDecoderElementHasItsWidgetInTheTable)
{
    VirtualLcd lcd;
    for (std::size_t i = 0; i < kLcdElementCount; ++i) {
        const auto which = static_cast<LcdElement>(i);
        SCOPED_TRACE(LcdElementName(which));
        ASSERT_NE(lcd.element(which), nullptr);
        EXPECT_EQ(lcd.element(which), lcd.element(Name(LcdElementName(which))));
    }
}

TEST(VirtualLcd, PointsAndLinkSignsHaveTheirSizes)
{
    VirtualLcd lcd;
    EXPECT_EQ(lcd.element(Name("CONok"))->size(), QSize(25, 24));
    EXPECT_EQ(lcd.element(Name("CONokN"))->size(), QSize(25, 24));
    for (const char* point : {"LcdP0", "LcdP4", "LCDP21", "LCDP23"}) {
        const QSize size = lcd.element(Name(point))->size();
        EXPECT_EQ(size.width(), size.height()) << point << " is a square";
        EXPECT_LE(size.width(), 10) << point << " is small";
    }
}

TEST(VirtualLcd, DigitsDoNotOverlapTheirNeighbours)
{
    VirtualLcd lcd;
    const char* row[] = {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"};
    for (int i = 0; i + 1 < 6; ++i) {
        const QRect left = lcd.element(Name(row[i]))->geometry();
        const QRect right = lcd.element(Name(row[i + 1]))->geometry();
        EXPECT_LT(left.right(), right.left()) << row[i];
    }
}

TEST(VirtualLcd, StartStateShowsDesignDigitsTheNotLinkedSignAndTheClock)
{
    VirtualLcd lcd;
    const std::set<std::string> shown = {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe",
                                         "LCDd20", "LCDD2A", "LCDD2B", "LCDD2C", "CONokN", "d_t"};
    for (const Placement& p : kPlacements) {
        EXPECT_EQ(lcd.isElementShown(Name(p.name)), shown.count(p.name) == 1) << p.name;
    }
    QString digits;
    for (const char* name : {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"})
        digits += lcd.elementText(Name(name));
    EXPECT_EQ(digits, QStringLiteral("199999"));
    QString second;
    for (const char* name : {"LCDd20", "LCDD2A", "LCDD2B", "LCDD2C"})
        second += lcd.elementText(Name(name));
    EXPECT_EQ(second, QStringLiteral("9999"));
}

TEST(VirtualLcd, TextAndVisibilityByName)
{
    VirtualLcd lcd;
    lcd.setElementText(Name("lcdrange"), QStringLiteral("2 0 0 m V"));
    lcd.setElementVisible(Name("lcdrange"), true);
    EXPECT_EQ(lcd.elementText(Name("lcdrange")), QStringLiteral("2 0 0 m V"));
    EXPECT_TRUE(lcd.isElementShown(Name("lcdrange")));

    lcd.setElementVisible(Name("LcdD0"), false);
    EXPECT_FALSE(lcd.isElementShown(Name("LcdD0")));

    // unknown names and texts on pictures are ignored, not crashes
    lcd.setElementText(Name("NoSuchElement"), QStringLiteral("x"));
    lcd.setElementVisible(Name("NoSuchElement"), true);
    lcd.setElementText(Name("LCDHOLD"), QStringLiteral("x"));
    EXPECT_EQ(lcd.element(Name("NoSuchElement")), nullptr);
    EXPECT_FALSE(lcd.isElementShown(Name("NoSuchElement")));
    EXPECT_EQ(lcd.elementText(Name("LCDHOLD")), QString());
}

TEST(VirtualLcd, LinkSignsAreNeverShownTogether)
{
    VirtualLcd lcd;
    for (bool linked : {true, false, true}) {
        lcd.setLinked(linked);
        EXPECT_EQ(lcd.isElementShown(Name("CONok")), linked);
        EXPECT_EQ(lcd.isElementShown(Name("CONokN")), !linked);
    }
}

TEST(VirtualLcd, ClockLabelTakesTheTimeText)
{
    VirtualLcd lcd;
    const QString time = QStringLiteral("14 : 05 : 09     12 - 08 - 2026");
    lcd.setClockText(time);
    EXPECT_EQ(lcd.elementText(Name("d_t")), time);
    EXPECT_GE(lcd.element(Name("d_t"))->width(), 100) << "the label grows with its text";
}

TEST(VirtualLcd, OverloadBlanksTheLeadingZeroOnlyWhileOverloaded)
{
    VirtualLcd lcd;
    const char* slotNames[] = {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"};
    const char* overload[] = {"0", "v", "@", "d", "--", "--"};
    for (int i = 0; i < 6; ++i)
        lcd.setElementText(Name(slotNames[i]), QString::fromLatin1(overload[i]));
    auto* d0 = static_cast<LcdLabel*>(lcd.element(Name("LcdD0")));
    EXPECT_TRUE(lcd.showsOverload());
    EXPECT_TRUE(d0->drawnGlyphs().isEmpty());
    EXPECT_EQ(d0->text(), QStringLiteral("0")) << "the text itself is kept";

    lcd.setElementText(Name("LcdDa"), QStringLiteral("1"));
    EXPECT_FALSE(lcd.showsOverload());
    EXPECT_EQ(d0->drawnGlyphs(), QStringLiteral("0"));
}

TEST(VirtualLcd, ResetReturnsToTheStartState)
{
    VirtualLcd lcd;
    lcd.setElementText(Name("LcdD0"), QStringLiteral("5"));
    lcd.setElementVisible(Name("LCDHOLD"), true);
    lcd.setLinked(true);
    lcd.resetToStartState();
    EXPECT_EQ(lcd.elementText(Name("LcdD0")), QStringLiteral("1"));
    EXPECT_FALSE(lcd.isElementShown(Name("LCDHOLD")));
    EXPECT_TRUE(lcd.isElementShown(Name("CONokN")));
    EXPECT_FALSE(lcd.isElementShown(Name("CONok")));
}

TEST(VirtualLcd, SignPicturesAreLoaded)
{
    VirtualLcd lcd;
    // a loaded picture paints more than the framed text fallback: compare with the fallback look
    for (const char* name : {"LCDHOLD", "LCDREL", "LCDsend", "CONok", "CONokN"}) {
        QWidget* sign = lcd.element(Name(name));
        auto* picture = qobject_cast<LcdPicture*>(sign);
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_TRUE(picture->hasPicture()) << name;
        QImage image(sign->size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        sign->render(&image);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        EXPECT_EQ(opaque, image.width() * image.height()) << name << " is drawn from its picture";
    }
}

} // namespace
} // namespace varnex
