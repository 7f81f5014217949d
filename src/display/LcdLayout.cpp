#include "display/LcdLayout.h"

namespace varnex {

namespace {

using K = LcdElementKind;

// Digit boxes end at the decimal points' row (121 for the main digits, 153 for the second
// display) so the points sit at the digits' lower right corner.
constexpr int kDigitWidth = 56;
constexpr int kDigitHeight = 109;
constexpr int kDigit2Width = 30;
constexpr int kDigit2Height = 53;
constexpr int kPointSize = 8;
constexpr int kPoint2Size = 5;

LcdElementSpec Digit(const char* name, int left, const char* caption)
{
    return {name, K::Digit, caption, QRect(left, 12, kDigitWidth, kDigitHeight), 133, {}, true};
}

LcdElementSpec Digit2(const char* name, int left)
{
    return {name, K::Digit, "9", QRect(left, 100, kDigit2Width, kDigit2Height), 69, {}, true};
}

LcdElementSpec Point(const char* name, int left, int top, int size)
{
    return {name, K::Point, "", QRect(left, top, size, size), 0, {}, false};
}

LcdElementSpec Legend(const char* name, int left, int top, const char* caption, int pixels, int nextLeft = 0)
{
    // A few pixels of glass between one legend and the next.
    constexpr int kLegendGap = 4;
    return {name, K::Legend, caption, QRect(left, top, 0, 0), pixels, {}, false,
            nextLeft > 0 ? nextLeft - left - kLegendGap : 0};
}

LcdElementSpec Picture(const char* name, int left, int top, int width, int height, LcdSign sign)
{
    return {name, K::Picture, "", QRect(left, top, width, height), 0, sign, false};
}

std::vector<LcdElementSpec> BuildLayout()
{
    constexpr int kUnit = 35, kPrefix = 30, kAnnunciator = 16;
    std::vector<LcdElementSpec> layout = {
        Digit("LcdD0", 56, "1"), Digit("LcdDa", 128, "9"), Digit("LcdDb", 200, "9"),
        Digit("LcdDc", 272, "9"), Digit("LcdDd", 344, "9"), Digit("LcdDe", 416, "9"),
        Point("LcdP0", 111, 121, kPointSize), Point("LcdP1", 184, 121, kPointSize),
        Point("LcdP2", 255, 121, kPointSize), Point("LcdP3", 328, 121, kPointSize),
        Point("LcdP4", 400, 121, kPointSize),
        {"LcdFH", K::Segment, "-", QRect(16, 20, 38, 101), 120, {}, false},
        Digit2("LCDd20", 472), Digit2("LCDD2A", 510), Digit2("LCDD2B", 550), Digit2("LCDD2C", 588),
        Point("LCDP21", 500, 153, kPoint2Size), Point("LCDP22", 541, 153, kPoint2Size),
        Point("LCDP23", 579, 153, kPoint2Size),
        Legend("LCDk", 618, 132, "k", 15), Legend("LCDM1", 628, 137, "Hz", 13),
        // The top row: function caption, ranging mode, range caption, recording mode, store and
        // recall, calibration and setup. The bold legend face is wider than the glass's print:
        // "ACV DCV" at 21 pixels would run into "Auto", so each legend ends where the next begins.
        Legend("LcdDc1", 77, 12, "DC", 21, 168), Legend("lcdrange", 248, 12, "Range", 16, 340),
        Legend("LcdV", 544, 50, "V", kUnit), Legend("LCDA", 544, 50, "A", kUnit),
        Legend("LCDohm", 544, 50, "*", kUnit), Legend("LCDF", 544, 50, "F", kUnit),
        Legend("lcdhz", 544, 50, "Hz", kUnit),
        Legend("Lcdm", 504, 56, "m", kPrefix), Legend("lcdkk", 510, 56, "K", kPrefix),
        Legend("LCDMM", 504, 56, "M", kPrefix), Legend("LCDn", 512, 56, "n", kPrefix),
        Legend("lcduu", 512, 56, "u", kPrefix),
        Legend("LcdAuto", 168, 12, "Auto ", kAnnunciator, 248),
        Legend("LcdManu", 168, 12, "MANU", kAnnunciator, 248),
        Legend("Labmax", 340, 12, "MAX", kAnnunciator, 412), Legend("Labmin", 340, 12, "MIN", kAnnunciator, 412),
        Legend("LABAVG", 340, 12, "AVG", kAnnunciator, 412), Legend("LABALL", 340, 12, "ALL", kAnnunciator, 412),
        Legend("LABSTO", 412, 12, "ST0", kAnnunciator, 492), Legend("LABRCL", 412, 12, "RCL", kAnnunciator, 492),
        // CAL and SETUP overlap on the glass itself.
        Legend("LABCAL", 492, 12, "CAL", kAnnunciator),
        Legend("LABSETUP", 500, 12, "SETUP", kAnnunciator, 597),
        Picture("LCDHOLD", 600, 40, 48, 24, LcdSign::Hold),
        Picture("LCDREL", 601, 74, 46, 24, LcdSign::Rel),
        Picture("LCDsend", 597, 4, 52, 30, LcdSign::Data),
        Picture("CONok", 13, 5, 25, 24, LcdSign::Linked),
        Picture("CONokN", 13, 5, 25, 24, LcdSign::NotLinked),
        Legend("d_t", 32, 144, "displaytime", 11),
    };
    for (LcdElementSpec& entry : layout) {
        const QString name = QString::fromLatin1(entry.name);
        if (entry.kind == K::Digit || name == QLatin1String("CONokN") || name == QLatin1String("d_t"))
            entry.shownAtStart = true;
    }
    return layout;
}

} // namespace

const std::vector<LcdElementSpec>& LcdLayout()
{
    static const std::vector<LcdElementSpec> layout = BuildLayout();
    return layout;
}

const LcdElementSpec* FindLcdElementSpec(const QString& name)
{
    for (const LcdElementSpec& entry : LcdLayout()) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace varnex
