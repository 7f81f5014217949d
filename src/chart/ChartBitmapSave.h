#pragma once
// Saving the chart as a Windows bitmap: the name rule, the drawing at the chart's
// size and the write, with the window's message text on failure. The file dialog
// stays with the window.
#include <QString>

class QWidget;

namespace varnex {

class ChartWidget;

struct ChartBitmapResult {
    bool saved = false;
    QString fileName; // the name written (or tried), ".bmp" forced
    QString message;  // when not saved: "Cannot create file "<name>". <reason>"
};

ChartBitmapResult SaveChartBitmap(ChartWidget& chart, const QString& chosenName);

// The save-picture dialog's filter.
QString ChartBitmapDialogFilter(); // "Bitmaps (*.bmp)"

// Shows the save-picture dialog (asks before overwriting); empty when cancelled.
QString AskChartBitmapName(QWidget* parent);

} // namespace varnex
