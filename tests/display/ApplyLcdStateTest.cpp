#include "display/ApplyLcdState.h"
#include "display/LcdLabel.h"
#include "display/MeterFace.h"
#include "display/TerminalShape.h"
#include "display/VirtualLcd.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace varnex {
namespace {

// Builds a frame from its parts: function, range, sign ("D" minus), the seven characters of
// positions 5-11, the five of 12-16, and positions 17-20.
std::string Frame(char function, char range, char sign, const std::string& digits,
                  const std::string& second, const std::string& tail)
{
    std::string frame = std::string("A") + function + range + sign + digits + second + tail + "D";
    EXPECT_EQ(frame.size(), 21u) << frame;
    return frame;
}

struct DecodedPanel {
    VirtualLcd lcd;
    MeterFace face;
    Reading reading;

    void apply(const std::string& frame)
    {
        const DecodeResult result = DecodeFrame(frame, reading, ".");
        reading = result.reading;
        applyLcdState(lcd, face, result.lcd);
    }
    QString digits() const
    {
        QString text;
        for (const char* name : {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"})
            text += lcd.elementText(QString::fromLatin1(name)) + QLatin1Char('|');
        return text;
    }
    bool shown(const char* name) const { return lcd.isElementShown(QString::fromLatin1(name)); }
    QString text(const char* name) const { return lcd.elementText(QString::fromLatin1(name)); }
    std::set<std::string> redTerminals() const
    {
        std::set<std::string> red;
        for (const char* name : {"ma", "v", "caphz", "comm", "a"})
            if (face.terminal(QString::fromLatin1(name))->isRed())
                red.insert(name);
        return red;
    }
};

TEST(ApplyLcdState, DcVoltsReading)
{
    DecodedPanel panel;
    panel.apply(Frame('0', '1', '0', "1E23456", "00000", "0020"));
    EXPECT_EQ(panel.digits(), QStringLiteral("1|2|3|4|5|6|"));
    EXPECT_TRUE(panel.shown("LcdP0"));
    for (const char* hidden : {"LcdP1", "LcdP2", "LcdP3", "LcdP4", "LcdFH", "LCDk", "LCDM1",
                               "LCDA", "LCDohm", "Lcdm", "LcdManu", "LCDHOLD", "LCDREL", "CONokN"})
        EXPECT_FALSE(panel.shown(hidden)) << hidden;
    for (const char* visible : {"LcdV", "LcdDc1", "lcdrange", "LcdAuto", "LCDsend", "CONok"})
        EXPECT_TRUE(panel.shown(visible)) << visible;
    EXPECT_EQ(panel.text("LcdDc1"), QStringLiteral("DCV "));
    EXPECT_EQ(panel.text("lcdrange"), QStringLiteral("2 V"));
    EXPECT_EQ(panel.redTerminals(), (std::set<std::string>{"v", "comm"}));
    EXPECT_FALSE(panel.lcd.showsOverload());
}

TEST(ApplyLcdState, MinusSignIsShown)
{
    DecodedPanel panel;
    panel.apply(Frame('0', '1', 'D', "1E23456", "00000", "0000"));
    EXPECT_TRUE(panel.shown("LcdFH"));
    EXPECT_TRUE(panel.shown("LcdManu"));
    EXPECT_FALSE(panel.shown("LcdAuto"));
}

TEST(ApplyLcdState, ResistanceOverloadReadsOL)
{
    DecodedPanel panel;
    panel.apply(Frame('6', '3', '0', "F000000", "00000", "0000"));
    EXPECT_EQ(panel.digits(), QStringLiteral("0|v|@|d|--|--|"));
    EXPECT_TRUE(panel.lcd.showsOverload());
    EXPECT_TRUE(panel.lcd.label(LcdElement::LcdD0)->drawnGlyphs().isEmpty());
    EXPECT_EQ(panel.lcd.label(LcdElement::LcdDa)->drawnGlyphs(), QStringLiteral("0"));
    EXPECT_EQ(panel.lcd.label(LcdElement::LcdDb)->drawnGlyphs(), QStringLiteral("L"));
    EXPECT_TRUE(panel.shown("LCDohm"));
    EXPECT_TRUE(panel.shown("lcdkk"));
    EXPECT_EQ(panel.text("lcdrange"), QStringLiteral("2 0 0 K *"));
    EXPECT_EQ(panel.lcd.label(LcdElement::lcdrange)->drawnGlyphs(), QStringLiteral("2 0 0 K \u03A9"));
    EXPECT_EQ(panel.redTerminals(), (std::set<std::string>{"v", "comm", "ma", "caphz"}));

    // the next ordinary reading draws its leading digit again
    panel.apply(Frame('6', '3', '0', "1E23456", "00000", "0000"));
    EXPECT_FALSE(panel.lcd.showsOverload());
    EXPECT_EQ(panel.lcd.label(LcdElement::LcdD0)->drawnGlyphs(), QStringLiteral("1"));
}

TEST(ApplyLcdState, FrequencyWithSecondDisplay)
{
    DecodedPanel panel;
    panel.apply(Frame('8', '0', '0', "0E50001", "1E234", "0020"));
    EXPECT_EQ(panel.text("LCDd20") + panel.text("LCDD2A") + panel.text("LCDD2B") + panel.text("LCDD2C"),
              QStringLiteral("1234"));
    EXPECT_TRUE(panel.shown("LCDP21"));
    EXPECT_TRUE(panel.shown("LCDk"));
    EXPECT_TRUE(panel.shown("LCDM1"));
    EXPECT_TRUE(panel.shown("lcdhz"));
    EXPECT_TRUE(panel.shown("lcdkk"));
    EXPECT_EQ(panel.text("LcdDc1"), QStringLiteral("FRQ"));

    // a reading without a second display hides its unit again
    panel.apply(Frame('8', '0', '0', "0E50001", "00000", "0020"));
    EXPECT_FALSE(panel.shown("LCDk"));
    EXPECT_FALSE(panel.shown("LCDM1"));
}

struct AnnunciatorCase {
    const char* tail;  // positions 17-20
    std::vector<const char*> shown;
    std::vector<const char*> hidden;
};

TEST(ApplyLcdState, AnnunciatorsFollowPositions18To20)
{
    const AnnunciatorCase cases[] = {
        {"0400", {"Labmax", "LcdManu"}, {"Labmin", "LABAVG", "LABALL", "LCDHOLD"}},
        {"0C00", {"LCDHOLD"}, {"Labmax", "Labmin", "LABAVG", "LABALL"}},
        {"0030", {"LcdAuto", "LCDREL"}, {"LcdManu"}},
        {"000F", {"LABRCL", "LABSTO", "LABCAL", "LABSETUP"}, {}},
        {"0000", {"LcdManu"}, {"LABRCL", "LABSTO", "LABCAL", "LABSETUP", "LCDREL", "LCDHOLD"}},
    };
    DecodedPanel panel;
    for (const AnnunciatorCase& c : cases) {
        SCOPED_TRACE(c.tail);
        panel.apply(Frame('0', '1', '0', "1E23456", "00000", c.tail));
        for (const char* name : c.shown)
            EXPECT_TRUE(panel.shown(name)) << name;
        for (const char* name : c.hidden)
            EXPECT_FALSE(panel.shown(name)) << name;
    }
}

TEST(ApplyLcdState, KeepLeavesEveryElementAsItWas)
{
    VirtualLcd lcd;
    MeterFace face;
    face.setTerminalRed(Terminal::a, true);
    LcdState keep;  // all Keep, no texts, no colours
    applyLcdState(lcd, face, keep);
    EXPECT_EQ(lcd.elementText(QStringLiteral("LcdD0")), QStringLiteral("1"));
    EXPECT_TRUE(lcd.isElementShown(QStringLiteral("CONokN")));
    EXPECT_FALSE(lcd.isElementShown(QStringLiteral("CONok")));
    EXPECT_TRUE(face.terminal(Terminal::a)->isRed());

    LcdState some;
    some.visibility[ToIndex(LcdElement::LCDHOLD)] = Visibility::Show;
    some.visibility[ToIndex(LcdElement::LcdD0)] = Visibility::Hide;
    some.text[ToIndex(LcdElement::LcdDa)] = std::string("7");
    some.text[ToIndex(LcdElement::LCDREL)] = std::string("ignored on a picture");
    some.terminalRed[ToIndex(Terminal::a)] = false;
    applyLcdState(lcd, face, some);
    EXPECT_TRUE(lcd.isElementShown(QStringLiteral("LCDHOLD")));
    EXPECT_FALSE(lcd.isElementShown(QStringLiteral("LcdD0")));
    EXPECT_EQ(lcd.elementText(QStringLiteral("LcdDa")), QStringLiteral("7"));
    EXPECT_FALSE(face.terminal(Terminal::a)->isRed());
}

TEST(ApplyLcdState, WholeDecoderPassStaysUnderAFifthOfAMillisecond)
{
    DecodedPanel panel;
    panel.lcd.show();
    panel.face.show();
    const std::string frames[] = {
        Frame('0', '1', '0', "1E23456", "00000", "0020"),
        Frame('6', '3', 'D', "F000000", "00000", "0C31"),
        Frame('8', '0', '0', "0E50001", "1E234", "0020"),
    };
    constexpr int kPasses = 3000;
    DecodeResult result;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPasses; ++i) {
        result.reading = panel.reading;
        DecodeFrameInto(frames[i % 3], ".", result);
        panel.reading = result.reading;
        applyLcdState(panel.lcd, panel.face, result.lcd);
    }
    const double microseconds = timer.nsecsElapsed() / 1000.0 / kPasses;
    std::printf("decode + apply: %.2f us per pass\n", microseconds);
#ifdef NDEBUG
    EXPECT_LT(microseconds, 200.0);
#else
    EXPECT_LT(microseconds, 2000.0) << "unoptimised build: only a gross regression fails";
#endif
}

} // namespace
} // namespace varnex
