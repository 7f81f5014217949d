#include "app/trend/TrendViewport.h"

#include <algorithm>
#include <cmath>

namespace varnex {

void TrendViewport::set(double fromMs, double toMs)
{
    if (toMs < fromMs)
        std::swap(fromMs, toMs);
    double span = std::clamp(toMs - fromMs, kMinSpanMs, kMaxSpanMs);
    const double centre = fromMs / 2.0 + toMs / 2.0;
    if (toMs - fromMs == span) {
        from_ = fromMs;
        to_ = toMs;
        return;
    }
    from_ = centre - span / 2.0;
    to_ = centre + span / 2.0;
}

void TrendViewport::fit(double firstMs, double lastMs)
{
    const double span = std::max(lastMs - firstMs, 0.0);
    const double room = span > 0.0 ? span * 0.02 : 1000.0;
    set(firstMs - room, lastMs + room);
}

void TrendViewport::zoomAround(double anchorMs, double factor)
{
    if (!(factor > 0.0))
        return;
    const double span = std::clamp(spanMs() * factor, kMinSpanMs, kMaxSpanMs);
    const double fraction = spanMs() > 0.0 ? (anchorMs - from_) / spanMs() : 0.5;
    from_ = anchorMs - fraction * span;
    to_ = from_ + span;
}

void TrendViewport::panPixels(double dxPx, double widthPx)
{
    if (widthPx <= 0.0)
        return;
    const double shift = -dxPx / widthPx * spanMs();
    from_ += shift;
    to_ += shift;
}

void TrendViewport::zoomToPixels(double x0Px, double x1Px, double widthPx)
{
    if (widthPx <= 0.0)
        return;
    set(timeAt(std::min(x0Px, x1Px), widthPx), timeAt(std::max(x0Px, x1Px), widthPx));
}

double TrendViewport::timeAt(double xPx, double widthPx) const
{
    return widthPx > 0.0 ? from_ + xPx / widthPx * spanMs() : from_;
}

double TrendViewport::pixelOf(double timeMs, double widthPx) const
{
    return spanMs() > 0.0 ? (timeMs - from_) / spanMs() * widthPx : 0.0;
}

bool TrendViewport::follow(double previousLastMs, double newLastMs)
{
    if (newLastMs <= to_ || previousLastMs > to_ || previousLastMs < from_)
        return false;
    const double shift = newLastMs - to_ + spanMs() * 0.02;
    from_ += shift;
    to_ += shift;
    return true;
}

} // namespace varnex
