#include "ReportPdfChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace varnex::testing {

namespace {

constexpr double kMarginMm = 10.0;
constexpr double kTitleTopMm = kMarginMm + 2.1;
constexpr double kCaptionTopMm = kMarginMm + 11.4 + 4.2;
constexpr double kFirstDetailTopMm = kMarginMm + 11.4 + 13.2 + 2.1;
constexpr double kDetailHeightMm = 6.6;
constexpr double kFooterTopMm = kMarginMm + 277.0 - 13.2 + 4.2;

const QString kLcdFamily = QStringLiteral("DSEG14Classic");

bool IsArialFamily(const QString& family)
{
    return family == QLatin1String("LiberationSans") || family.startsWith(QLatin1String("Arial"));
}

// The ohm sign's face: thin DejaVu Sans, or Arial where that is not installed.
bool IsOhmFamily(const QString& family)
{
    return family == QLatin1String("DejaVuSans-ExtraLight") || family == QLatin1String("DejaVuSans") ||
           IsArialFamily(family);
}

double Mm(double points) { return points / kPointsPerMm; }

// The word with this text on page whose top is nearest topMm.
const PdfWord* WordNear(const ReportPdfProbe& probe, int page, const QString& text, double topMm)
{
    const PdfWord* best = nullptr;
    double bestDistance = std::numeric_limits<double>::max();
    for (const PdfWord& w : probe.words()) {
        if (w.page != page || w.text != text)
            continue;
        const double distance = std::abs(Mm(w.yMin) - topMm);
        if (distance < bestDistance) {
            best = &w;
            bestDistance = distance;
        }
    }
    return best;
}

void ExpectAt(const ReportPdfProbe& probe, int page, const QString& text, double leftMm, double topMm)
{
    const PdfWord* w = WordNear(probe, page, text, topMm);
    ASSERT_NE(w, nullptr) << "\"" << text.toStdString() << "\" on page " << page;
    EXPECT_NEAR(Mm(w->xMin), leftMm, kPlaceToleranceMm) << "left of \"" << text.toStdString() << "\", page " << page;
    EXPECT_NEAR(Mm(w->yMin), topMm, kPlaceToleranceMm) << "top of \"" << text.toStdString() << "\", page " << page;
}

struct Caption {
    const char* text;
    double atMm;
    bool lcd;
};

constexpr Caption kCaptions[] = {{"No", 8.5, true},     {"Time", 31.8, true},  {"Function", 60.1, false},
                                 {"Value", 91.0, true}, {"Unit", 119.6, true}, {"Value2", 146.1, true},
                                 {"Unit2", 168.3, true}};

void ExpectRuns(const ReportPdfProbe& probe, const QString& text, bool lcd)
{
    const std::vector<PdfTextRun> runs = probe.runsOf(text);
    EXPECT_FALSE(runs.empty()) << "no text run \"" << text.toStdString() << "\"";
    for (const PdfTextRun& run : runs) {
        if (lcd) {
            EXPECT_EQ(run.family.toStdString(), kLcdFamily.toStdString()) << "\"" << text.toStdString() << "\"";
        } else {
            EXPECT_TRUE(IsArialFamily(run.family)) << "\"" << text.toStdString() << "\" in " << run.family.toStdString();
        }
        EXPECT_NEAR(run.size, 10.0, 0.5) << "size of \"" << text.toStdString() << "\"";
    }
}

} // namespace

std::vector<PrintedField> PrintedRow(int no, const QString& time, const QString& function, const QString& value,
                                     const QString& unitLcdPart, const QString& value2, const QString& unit2LcdPart)
{
    std::vector<PrintedField> fields = {{QString::number(no), 8.5, false},
                                        {time, 31.8, false},
                                        {function, 61.4, false},
                                        {value, 91.0, false},
                                        {unitLcdPart, 118.5, true},
                                        {value2, 146.1, false},
                                        {unit2LcdPart, 169.3, true}};
    std::vector<PrintedField> printed;
    for (const PrintedField& f : fields)
        if (!f.word.isEmpty())
            printed.push_back(f);
    return printed;
}

void ExpectPageFrame(const ReportPdfProbe& probe, int page)
{
    double width = 0, height = 0;
    ASSERT_TRUE(probe.pageSize(width, height));
    EXPECT_NEAR(Mm(width), 210.0, kPlaceToleranceMm);
    EXPECT_NEAR(Mm(height), 297.0, kPlaceToleranceMm);

    // The title "Varnex Data " is centred with its trailing blank: the blank is as wide as
    // the gap between its two words.
    const PdfWord* varnex = WordNear(probe, page, QStringLiteral("Varnex"), kTitleTopMm);
    const PdfWord* data = WordNear(probe, page, QStringLiteral("Data"), kTitleTopMm);
    ASSERT_TRUE(varnex && data) << "title on page " << page;
    const double blankMm = Mm(data->xMin - varnex->xMax);
    const double titleWidthMm = Mm(data->xMax - varnex->xMin) + blankMm;
    EXPECT_NEAR(Mm(varnex->xMin), kMarginMm + (190.0 - titleWidthMm) / 2, kPlaceToleranceMm) << "title centred";
    EXPECT_NEAR(Mm(varnex->yMin), kTitleTopMm, kPlaceToleranceMm) << "title top";
    EXPECT_NEAR(Mm(data->yMin), kTitleTopMm, kPlaceToleranceMm);

    for (const Caption& c : kCaptions)
        ExpectAt(probe, page, QString::fromLatin1(c.text), kMarginMm + c.atMm, kCaptionTopMm);
    ExpectAt(probe, page, QStringLiteral("The"), kMarginMm + 8.5, kFooterTopMm);
}

void ExpectRowLine(const ReportPdfProbe& probe, int page, int line, const std::vector<PrintedField>& fields)
{
    const double topMm = kFirstDetailTopMm + line * kDetailHeightMm;
    for (const PrintedField& f : fields)
        ExpectAt(probe, page, f.word, kMarginMm + f.atMm, topMm);
}

void ExpectReportFonts(const ReportPdfProbe& probe, const std::vector<std::vector<PrintedField>>& rows)
{
    bool lcd = false, arial = false;
    for (const QString& name : probe.fonts()) {
        const QString base = name.section(QLatin1Char('+'), -1); // drop a subset prefix
        EXPECT_FALSE(base.contains(QLatin1String("Bold")) || base.contains(QLatin1String("Italic")) ||
                     base.contains(QLatin1String("Oblique")))
            << base.toStdString() << ": the report is regular";
        if (base == QLatin1String("DSEG14Classic-Regular"))
            lcd = true;
        else if (base == QLatin1String("DejaVuSans-ExtraLight"))
            continue; // the ohm sign's face
        else if (IsArialFamily(base.section(QLatin1Char('-'), 0, 0)))
            arial = true;
        else
            ADD_FAILURE() << "unexpected font " << base.toStdString();
    }
    EXPECT_TRUE(lcd) << "the LCD font DSEG14 Classic Regular is embedded";
    EXPECT_TRUE(arial) << "Arial or Liberation Sans is embedded";

    ExpectRuns(probe, QStringLiteral("Varnex Data"), true);
    ExpectRuns(probe, QStringLiteral("The Data Print Foot"), true);
    for (const Caption& c : kCaptions)
        ExpectRuns(probe, QString::fromLatin1(c.text), c.lcd);
    for (const auto& row : rows)
        for (const PrintedField& f : row)
            ExpectRuns(probe, f.word, f.lcd);
    // The ohm sign is drawn in its own thin face (the LCD font has none), never in a fallback.
    for (const PdfTextRun& run : probe.runs()) {
        if (run.text.contains(QChar(0x03A9))) {
            EXPECT_TRUE(IsOhmFamily(run.family)) << "ohm sign in " << run.family.toStdString();
        }
    }
}

} // namespace varnex::testing
