#pragma once
// Pictures of the function board's buttons, drawn once with QPainter.
#include <QIcon>

namespace varnex {

QIcon CloseDataIcon();  // a sheet with a red cross
QIcon OpenLogIcon();    // an opened folder
QIcon SaveLogIcon();    // a disk
QIcon PrintIcon();      // a printer

} // namespace varnex
