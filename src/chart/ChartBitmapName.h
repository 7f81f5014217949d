#pragma once
// The chart picture is always a ".bmp" file: "a.png" -> "a.png.bmp", "a" -> "a.bmp",
// "a.BMP" and "a.Bmp" unchanged.
#include <QString>

namespace varnex {

QString ChartBitmapFileName(const QString& chosenName);

} // namespace varnex
