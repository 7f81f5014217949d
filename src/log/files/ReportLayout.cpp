#include "log/files/ReportLayout.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>

namespace varnex {

namespace {

enum class Face { Lcd, Arial };

struct ColumnPlace {
    LogField field;
    const char* caption;
    double captionAtMm;
    Face captionFace;
    double fieldAtMm;
    Face fieldFace;
};

constexpr ColumnPlace kColumns[] = {
    {LogField::No, "No", 8.5, Face::Lcd, 8.5, Face::Arial},
    {LogField::Time, "Time", 31.8, Face::Lcd, 31.8, Face::Arial},
    {LogField::Function, "Function", 60.1, Face::Arial, 61.4, Face::Arial},
    {LogField::Value, "Value", 91.0, Face::Lcd, 91.0, Face::Arial},
    {LogField::Unit, "Unit", 119.6, Face::Lcd, 118.5, Face::Lcd},
    {LogField::Value2, "Value2", 146.1, Face::Lcd, 146.1, Face::Arial},
    {LogField::Unit2, "Unit2", 168.3, Face::Lcd, 169.3, Face::Lcd},
};

constexpr double kTitleTopMm = 2.1;
constexpr double kCaptionTopMm = 4.2;
constexpr double kDetailTopMm = 2.1;
constexpr double kFooterAtMm = 8.5;
constexpr double kFooterTopMm = 4.2;
constexpr int kPointSize = 10;

struct Scale {
    double x; // device dots per millimetre
    double y;
};

// Left-aligned text whose top edge sits at (xMm, yMm), as wide as it needs.
void DrawTextAt(QPainter& painter, const Scale& s, double xMm, double yMm, const QString& text)
{
    painter.drawText(QPointF(xMm * s.x, yMm * s.y + QFontMetricsF(painter.font(), painter.device()).ascent()), text);
}

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Every property the report relies on is set, so nothing comes from the application's
// font (the window's is bold).
QFont ExplicitFont(const QStringList& families, double pointSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setStyle(QFont::StyleNormal);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setOverline(false);
    font.setStretch(QFont::Unstretched);
    font.setCapitalization(QFont::MixedCase);
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    font.setWordSpacing(0);
    font.setKerning(true);
    return font;
}

constexpr QChar kOhm(0x03A9); // GREEK CAPITAL LETTER OMEGA

// A unit text in the LCD font at (xMm, yMm). The LCD font has no ohm sign, which would fall
// back to whatever font has one (a bold one under a bold application font); it is drawn in
// ohmFont instead, scaled to the LCD letters' cap height and on their baseline.
void DrawUnitAt(QPainter& painter, const Scale& s, double xMm, double yMm, const QString& text)
{
    const QFont lcd = ReportLayout::lcdFont();
    painter.setFont(lcd);
    if (!text.contains(kOhm)) {
        DrawTextAt(painter, s, xMm, yMm, text);
        return;
    }
    const QFont ohm = ReportLayout::ohmFont(painter.device());
    const QFontMetricsF lcdMetrics(lcd, painter.device());
    const QFontMetricsF ohmMetrics(ohm, painter.device());
    const double baseline = yMm * s.y + lcdMetrics.ascent();
    double x = xMm * s.x;
    qsizetype runStart = 0;
    const auto drawRun = [&](qsizetype end) {
        if (end <= runStart)
            return;
        const QString run = text.mid(runStart, end - runStart);
        painter.setFont(lcd);
        painter.drawText(QPointF(x, baseline), run);
        x += lcdMetrics.horizontalAdvance(run);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != kOhm)
            continue;
        drawRun(i);
        painter.setFont(ohm);
        painter.drawText(QPointF(x, baseline), QString(kOhm));
        x += ohmMetrics.horizontalAdvance(kOhm);
        runStart = i + 1;
    }
    drawRun(text.size());
}

} // namespace

int ReportLayout::detailLinesPerPage()
{
    const double room = kPageBodyHeightMm - kPageHeaderHeightMm - kColumnHeaderHeightMm - kPageFooterHeightMm;
    // A small tolerance so that rounding of the millimetre values never loses a line.
    return static_cast<int>(room / kDetailHeightMm + 1e-9);
}

int ReportLayout::pageCount(std::size_t rows)
{
    const auto perPage = static_cast<std::size_t>(detailLinesPerPage());
    return static_cast<int>((rows + perPage - 1) / perPage);
}

QFont ReportLayout::lcdFont()
{
    return ExplicitFont({QStringLiteral("DSEG14 Classic"), QStringLiteral("DSEG7 Classic")}, kPointSize);
}

QFont ReportLayout::arialFont()
{
    return ExplicitFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, kPointSize);
}

QFont ReportLayout::ohmFont(QPaintDevice* device)
{
    // The LCD font's strokes are thin: a thin sans face matches them, the regular one
    // where that is not installed.
    QFont font = ExplicitFont({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}, kPointSize);
    font.setWeight(QFont::ExtraLight);
    if (!QFontInfo(font).family().startsWith(QLatin1String("DejaVu Sans")))
        font = arialFont();
    const double lcdCap = QFontMetricsF(lcdFont(), device).capHeight();
    const double ohmCap = QFontMetricsF(font, device).capHeight();
    if (lcdCap > 0 && ohmCap > 0)
        font.setPointSizeF(kPointSize * lcdCap / ohmCap);
    return font;
}

QString ReportLayout::unitForPrint(std::string_view unit)
{
    QString text = Latin1(unit);
    text.replace(QLatin1Char('*'), kOhm);
    return text;
}

void ReportLayout::paintPageFrame(QPainter& painter, double dotsPerMmX, double dotsPerMmY) const
{
    const Scale s{dotsPerMmX, dotsPerMmY};
    const QFont lcd = lcdFont();
    const QFont arial = arialFont();

    // Page header: the title centred on the band.
    painter.setFont(lcd);
    const double titleWidthMm = painter.fontMetrics().horizontalAdvance(QString::fromLatin1(kTitle)) / s.x;
    DrawTextAt(painter, s, (kBandWidthMm - titleWidthMm) / 2, kTitleTopMm, QString::fromLatin1(kTitle));

    // Column header.
    for (const ColumnPlace& column : kColumns) {
        painter.setFont(column.captionFace == Face::Lcd ? lcd : arial);
        DrawTextAt(painter, s, column.captionAtMm, kPageHeaderHeightMm + kCaptionTopMm,
                   QString::fromLatin1(column.caption));
    }

    // Page footer at the foot of the page.
    painter.setFont(lcd);
    DrawTextAt(painter, s, kFooterAtMm, kPageBodyHeightMm - kPageFooterHeightMm + kFooterTopMm,
               QString::fromLatin1(kFooter));
}

bool ReportLayout::render(QPagedPaintDevice& device, const LogStore& store, std::size_t rowCountSnapshot) const
{
    const std::size_t rows = std::min(rowCountSnapshot, store.size());
    if (rows == 0)
        return false;

    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setPen(Qt::black);

    const Scale s{device.logicalDpiX() / 25.4, device.logicalDpiY() / 25.4};
    const QFont lcd = lcdFont();
    const QFont arial = arialFont();
    const int perPage = detailLinesPerPage();
    const double firstDetailMm = kPageHeaderHeightMm + kColumnHeaderHeightMm;

    for (std::size_t i = 0; i < rows; ++i) {
        const int line = static_cast<int>(i % static_cast<std::size_t>(perPage));
        if (line == 0) {
            if (i > 0)
                device.newPage();
            paintPageFrame(painter, s.x, s.y);
        }
        const LogRowView row = store.row(i);
        const double topMm = firstDetailMm + line * kDetailHeightMm + kDetailTopMm;
        for (const ColumnPlace& column : kColumns) {
            if (column.field == LogField::Unit || column.field == LogField::Unit2) {
                DrawUnitAt(painter, s, column.fieldAtMm, topMm, unitForPrint(row.text(column.field)));
                continue;
            }
            painter.setFont(column.fieldFace == Face::Lcd ? lcd : arial);
            const QString text = column.field == LogField::No ? QString::number(row.No)
                                                              : Latin1(row.text(column.field));
            DrawTextAt(painter, s, column.fieldAtMm, topMm, text);
        }
    }
    return painter.end();
}

} // namespace varnex
