#include "links/ConnectionIndicator.h"

namespace varnex {

QString FormatConnectionClock(const QDateTime& localTime)
{
    return localTime.toString(QStringLiteral("hh' : 'mm' : 'ss'     'MM' - 'dd' - 'yyyy"));
}

void FrameWatchdog::frameDecoded()
{
    dataShown_ = true;
    ticks_ = 0;
}

void FrameWatchdog::tick()
{
    if (ticks_ != 2) {
        ++ticks_;
        return;
    }
    dataShown_ = false;
    ticks_ = 0;
}

} // namespace varnex
