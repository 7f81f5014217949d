#pragma once
// The chart tool bar's pictures, drawn with QPainter so that nothing is loaded.
#include <QIcon>

namespace varnex {

QIcon DiskIcon();          // save
QIcon FirstPageIcon();     // arrow to a bar on the left
QIcon PreviousPageIcon();  // two arrows pointing left
QIcon NextPageIcon();      // two arrows pointing right
QIcon LastPageIcon();      // arrow to a bar on the right
QIcon EnlargeIcon();       // magnifier with a plus sign
QIcon RestoreIcon();       // magnifier with a minus sign

} // namespace varnex
