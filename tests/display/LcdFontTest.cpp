#include "display/LcdFont.h"
#include "display/LcdLabel.h"
#include "display/SegmentPainter.h"

#include <QImage>

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct GlyphCase {
    const char* meterText;
    const char* segmentGlyphs;
};

TEST(LcdFont, SegmentSlotsDrawTheOverloadAsOL)
{
    const GlyphCase cases[] = {
        {"0", "0"}, {"9", "9"}, {"", ""},       // plain digits stay
        {"v", "0"},                             // the O of OL: every outer segment
        {"@", "L"},                             // the L of OL
        {"d", " "},                             // blank slot after OL
        {"--", "-"},                            // one dash in a slot
        {"-", "-"},                             // the minus sign
    };
    for (const GlyphCase& c : cases)
        EXPECT_EQ(SegmentGlyphs(QString::fromUtf8(c.meterText)), QString::fromUtf8(c.segmentGlyphs))
            << c.meterText;
}

TEST(LcdFont, LegendsDrawTheStarAsOhmSign)
{
    const GlyphCase cases[] = {
        {"*", "\u03A9"}, {"K*", "K\u03A9"}, {"M*", "M\u03A9"},
        {"2 0 0 K *", "2 0 0 K \u03A9"}, {"6  V", "6  V"}, {"KHz", "KHz"}, {"ST0", "ST0"},
    };
    for (const GlyphCase& c : cases)
        EXPECT_EQ(LegendGlyphs(QString::fromUtf8(c.meterText)), QString::fromUtf8(c.segmentGlyphs))
            << c.meterText;
}

TEST(LcdFont, SegmentMasksOfTheOverloadGlyphs)
{
    // bits: a b c d e f g = 1 2 4 8 16 32 64
    EXPECT_EQ(SegmentMask(QLatin1Char('8')), 0x7Fu);
    EXPECT_EQ(SegmentMask(QLatin1Char('1')), 0x06u);
    EXPECT_EQ(SegmentMask(QLatin1Char('0')), 0x3Fu);
    EXPECT_EQ(SegmentMask(QLatin1Char('L')), 0x38u);
    EXPECT_EQ(SegmentMask(QLatin1Char('-')), 0x40u);
    EXPECT_EQ(SegmentMask(QLatin1Char(' ')), 0u);
    for (char digit = '0'; digit <= '9'; ++digit)
        EXPECT_NE(SegmentMask(QLatin1Char(digit)), 0u) << digit;
}

TEST(LcdFont, InstalledSegmentFontIsFound)
{
    SetSegmentFontPath(QString());
    EXPECT_FALSE(SegmentFontFamily().isEmpty());
}

// Dark pixels in the left and right halves of a rendered label.
std::pair<int, int> DarkHalves(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image);
    int left = 0, right = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 60)
                (x < image.width() / 2 ? left : right)++;
    return {left, right};
}

class SegmentDrawing : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        // false: the font file is missing and our own segment painter draws
        SetSegmentFontPath(GetParam() ? QString() : QStringLiteral("/nonexistent/DSEG7.ttf"));
    }
    void TearDown() override { SetSegmentFontPath(QString()); }
};

TEST_P(SegmentDrawing, OneLightsOnlyTheRightSegmentsAndEightBothSides)
{
    EXPECT_EQ(SegmentFontFamily().isEmpty(), !GetParam());
    LcdLabel label(LcdFace::Segments, 133);
    label.resize(56, 109);

    label.setText(QStringLiteral("1"));
    const auto [oneLeft, oneRight] = DarkHalves(label);
    EXPECT_GT(oneRight, 100);
    EXPECT_LT(oneLeft, oneRight / 4);

    label.setText(QStringLiteral("8"));
    const auto [eightLeft, eightRight] = DarkHalves(label);
    EXPECT_GT(eightLeft, 100);
    EXPECT_GT(eightRight, 100);

    label.setText(QStringLiteral("d"));  // the blank slot after OL
    const auto [blankLeft, blankRight] = DarkHalves(label);
    EXPECT_EQ(blankLeft + blankRight, 0);
}

INSTANTIATE_TEST_SUITE_P(FontOrPainter, SegmentDrawing, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Font" : "OwnPainter"; });

TEST(LcdLabel, AutosizedLegendFollowsItsText)
{
    LcdLabel label(LcdFace::Legend, 16);
    label.setAutoSize(true);
    label.setText(QStringLiteral("MAX"));
    const QSize size = label.size();
    label.setText(QStringLiteral("MAX"));
    EXPECT_EQ(label.size(), size);
    label.setText(QStringLiteral("MAX MIN"));
    EXPECT_GT(label.width(), size.width()) << "autosized legends grow with their text";
}

} // namespace
} // namespace varnex
