#pragma once
// Saving the chart as a Windows bitmap: the name rule, the drawing at the chart's
// size and the write, with the window's message text on failure. The file dialog is
// in ChartBitmapDialog.
#include <QString>

namespace varnex {

class ChartWidget;

struct ChartBitmapResult {
    bool saved = false;
    QString fileName; // the name written (or tried), ".bmp" forced
    QString message;  // when not saved: "Cannot create file "<name>". <reason>"
};

ChartBitmapResult SaveChartBitmap(ChartWidget& chart, const QString& chosenName);

} // namespace varnex
