// The legends of the LCD's top row keep to their places: whatever caption the decoder
// gives them, the text one legend paints ends before the text of the next one begins.
#include "display/LcdLabel.h"
#include "display/VirtualLcd.h"
#include "protocol/FunctionTable.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace varnex {
namespace {

QString Name(const char* name) { return QString::fromLatin1(name); }

// The rectangle, in panel coordinates, of the pixels an element paints (more opaque than
// minAlpha).
QRect PaintedRect(VirtualLcd& lcd, const QString& name, const QString* text, int minAlpha = 0)
{
    QWidget* element = lcd.element(name);
    if (text)
        lcd.setElementText(name, *text);
    element->setVisible(true);
    QImage image(element->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    element->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > minAlpha)
                ink |= QRect(x, y, 1, 1);
    return ink.translated(element->pos());
}

std::vector<std::string> FunctionCaptions()
{
    std::vector<std::string> out;
    for (const FunctionRow* row = FunctionRowsBegin(); row != FunctionRowsEnd(); ++row)
        out.emplace_back(row->caption);
    return out;
}

std::vector<std::string> RangeCaptions()
{
    std::vector<std::string> out;
    for (const RangeRow* row = RangeRowsBegin(); row != RangeRowsEnd(); ++row)
        out.emplace_back(row->caption);
    return out;
}

struct Side {
    std::vector<const char*> elements;
    std::vector<std::string> texts; // empty: the element as it is (a picture, a fixed annunciator)
};

struct NeighbourCase {
    const char* name;
    Side left;
    Side right;
};

void PrintTo(const NeighbourCase& c, std::ostream* os) { *os << c.name; }

class LcdTopRow : public ::testing::TestWithParam<NeighbourCase> {};

std::vector<std::pair<std::string, QRect>> Painted(VirtualLcd& lcd, const Side& side)
{
    std::vector<std::pair<std::string, QRect>> out;
    for (const char* element : side.elements) {
        if (side.texts.empty()) {
            out.emplace_back(element, PaintedRect(lcd, Name(element), nullptr));
            continue;
        }
        for (const std::string& text : side.texts) {
            const QString caption = QString::fromStdString(text);
            out.emplace_back(std::string(element) + " \"" + text + "\"", PaintedRect(lcd, Name(element), &caption));
        }
    }
    return out;
}

TEST_P(LcdTopRow, TextsOfNeighboursDoNotMeet)
{
    VirtualLcd lcd;
    const NeighbourCase& c = GetParam();
    const auto lefts = Painted(lcd, c.left);
    const auto rights = Painted(lcd, c.right);
    for (const auto& [leftName, leftInk] : lefts) {
        ASSERT_FALSE(leftInk.isEmpty()) << leftName << " paints nothing";
        for (const auto& [rightName, rightInk] : rights) {
            ASSERT_FALSE(rightInk.isEmpty()) << rightName << " paints nothing";
            EXPECT_LT(leftInk.right(), rightInk.left())
                << leftName << " ends at " << leftInk.right() << ", " << rightName << " starts at " << rightInk.left();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Neighbours, LcdTopRow,
    ::testing::Values(
        NeighbourCase{"FunctionCaptionAndRangingMode", {{"LcdDc1"}, FunctionCaptions()}, {{"LcdAuto", "LcdManu"}, {}}},
        NeighbourCase{"RangingModeAndRangeCaption", {{"LcdAuto", "LcdManu"}, {}}, {{"lcdrange"}, RangeCaptions()}},
        NeighbourCase{"RangeCaptionAndRecordingMode",
                      {{"lcdrange"}, RangeCaptions()},
                      {{"Labmax", "Labmin", "LABAVG", "LABALL"}, {}}},
        NeighbourCase{"RecordingModeAndStoreRecall", {{"Labmax", "Labmin", "LABAVG", "LABALL"}, {}}, {{"LABSTO", "LABRCL"}, {}}},
        NeighbourCase{"StoreRecallAndCalibrationSetup", {{"LABSTO", "LABRCL"}, {}}, {{"LABCAL", "LABSETUP"}, {}}},
        NeighbourCase{"SetupAndDataSign", {{"LABSETUP"}, {}}, {{"LCDsend"}, {}}}),
    [](const ::testing::TestParamInfo<NeighbourCase>& info) { return std::string(info.param.name); });

// A narrowed caption keeps its height: it is drawn narrower, not smaller.
TEST(LcdTopRowCaption, LongCaptionIsNarrowedNotShrunk)
{
    VirtualLcd lcd;
    const QString shortCaption = QStringLiteral("ACV"); // the same letters, not narrowed
    const QString longCaption = QStringLiteral("ACV DCV");
    // The letters' solid pixels, leaving out the faint edges of antialiasing.
    const QRect shortInk = PaintedRect(lcd, Name("LcdDc1"), &shortCaption, 128);
    const QRect longInk = PaintedRect(lcd, Name("LcdDc1"), &longCaption, 128);
    // (Drawn through a transform the glyphs are not hinted: a pixel of difference either way.)
    EXPECT_NEAR(longInk.top(), shortInk.top(), 1);
    EXPECT_GE(longInk.height(), shortInk.height()) << "as tall as the same letters drawn unnarrowed";
    EXPECT_GT(longInk.width(), shortInk.width());
}

} // namespace
} // namespace varnex
