#pragma once
// The printed report of the log (QuickRep1): A4 portrait, 10 mm margins, on each page the
// title band, the column captions, up to 36 row lines and the footer band at the page foot.
// Paints onto any paged device: a QPdfWriter, or the QPrinter of a print preview.
#include "log/LogStore.h"

#include <QFont>
#include <QString>

#include <cstddef>

class QPaintDevice;
class QPagedPaintDevice;
class QPainter;

namespace varnex {

class ReportLayout {
public:
    // Band geometry in millimetres from the band's left and top edge.
    static constexpr double kMarginMm = 10.0;
    static constexpr double kBandWidthMm = 190.0;
    static constexpr double kPageBodyHeightMm = 297.0 - 2 * kMarginMm;
    static constexpr double kPageHeaderHeightMm = 11.4;
    static constexpr double kColumnHeaderHeightMm = 13.2;
    static constexpr double kDetailHeightMm = 6.6;
    static constexpr double kPageFooterHeightMm = 13.2;

    static constexpr const char* kTitle = "Varnex Data "; // the trailing blank belongs to it
    static constexpr const char* kFooter = "The Data Print Foot";

    // Row lines that fit between the column captions and the footer (36).
    static int detailLinesPerPage();
    // Pages for rows rows; 0 for an empty table.
    static int pageCount(std::size_t rows);

    // The font that looks like the meter's segments. DSEG14 carries letters as well as
    // digits, so captions stay readable; the seven-segment face is the fallback.
    static QFont lcdFont();
    // Arial, or its metric twin where Arial is not installed (Liberation Sans on Debian).
    // Both fonts are regular, 10 points, whatever the application's font is.
    static QFont arialFont();
    // The face the ohm sign of a unit is printed in: DejaVu Sans ExtraLight (thin like the
    // LCD font's segments; Arial where it is missing) at the size whose cap height is the
    // LCD font's on device.
    static QFont ohmFont(QPaintDevice* device);
    // Unit texts keep "*" for the ohm sign; the report prints the sign itself.
    static QString unitForPrint(std::string_view unit);

    // Lays out the first rowCountSnapshot rows of store (fewer if the table has since
    // shrunk). Rows appended after the snapshot was taken are not printed. Sets the
    // device's page layout. Returns false, painting nothing, when there is no row or the
    // device cannot be painted on.
    bool render(QPagedPaintDevice& device, const LogStore& store, std::size_t rowCountSnapshot) const;

private:
    void paintPageFrame(QPainter& painter, double dotsPerMmX, double dotsPerMmY) const;
};

} // namespace varnex
