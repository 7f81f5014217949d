#pragma once
// The save-picture dialog of the chart. The picture is always written as ".bmp" (a typed
// "chart1.png" becomes "chart1.png.bmp"), so the overwrite question is about that name,
// not about the name typed: the file dialog's own question is turned off.
#include <QString>

class QWidget;

namespace varnex {

// The dialog's filter: "Bitmaps (*.bmp)".
QString ChartBitmapDialogFilter();

// Shows the dialog until the user cancels (empty result) or accepts a name whose file is
// new or may be replaced; returns the name that is to be written, ".bmp" forced.
QString AskChartBitmapName(QWidget* parent);

// The question asked before an existing picture file is replaced; the file's name only.
QString ReplacePictureQuestion(const QString& writtenName);

} // namespace varnex
