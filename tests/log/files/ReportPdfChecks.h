#pragma once
// What every page of the printed report must show, checked on the PDF read back: A4, the
// title centred, captions, row lines and footer at their places (within 0.5 mm), each text
// in its font (the LCD font or Arial/Liberation Sans, regular, 10 pt).
#include "ReportPdfProbe.h"

#include <string>
#include <vector>

namespace varnex::testing {

constexpr double kPlaceToleranceMm = 0.5;

// One printed field of a row line: its first word and where the field starts.
struct PrintedField {
    QString word;
    double atMm;
    bool lcd; // printed in the LCD font (unit fields)
};

// The fields of a row line as the report prints them, from the row's texts (units as
// printed, "K" for "K*": its LCD part).
std::vector<PrintedField> PrintedRow(int no, const QString& time, const QString& function, const QString& value,
                                     const QString& unitLcdPart, const QString& value2, const QString& unit2LcdPart);

// Page size, title, captions and footer of page.
void ExpectPageFrame(const ReportPdfProbe& probe, int page);
// The row line line (0 = first under the captions) of page holds fields at their places.
void ExpectRowLine(const ReportPdfProbe& probe, int page, int line, const std::vector<PrintedField>& fields);
// The fonts: only the LCD font and Arial (or Liberation Sans), both regular; every text
// run in the face and size the layout gives it.
void ExpectReportFonts(const ReportPdfProbe& probe, const std::vector<std::vector<PrintedField>>& rows);

} // namespace varnex::testing
