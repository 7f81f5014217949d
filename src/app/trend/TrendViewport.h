#pragma once
// The span of time the trend window shows, and the arithmetic of zooming and panning it:
// the wheel zooms around the cursor (the time under it stays under it), a drag pans by
// the pixels moved, a rubber band zooms to the span it covers, and fitting shows all.
namespace varnex {

class TrendViewport {
public:
    static constexpr double kMinSpanMs = 10.0;
    static constexpr double kMaxSpanMs = 100.0 * 366.0 * 86400000.0;

    TrendViewport() = default;
    TrendViewport(double fromMs, double toMs) { set(fromMs, toMs); }

    double fromMs() const { return from_; }
    double toMs() const { return to_; }
    double spanMs() const { return to_ - from_; }

    void set(double fromMs, double toMs);
    // All readings from firstMs to lastMs, with a little room on both sides.
    void fit(double firstMs, double lastMs);
    // factor < 1 zooms in; anchorMs keeps its place on the axis.
    void zoomAround(double anchorMs, double factor);
    // A drag of dxPx to the right over a plot widthPx wide shows earlier times.
    void panPixels(double dxPx, double widthPx);
    // The rubber band from x0Px to x1Px (either order) over a plot widthPx wide.
    void zoomToPixels(double x0Px, double x1Px, double widthPx);

    double timeAt(double xPx, double widthPx) const;
    double pixelOf(double timeMs, double widthPx) const;

    // A reading arrived at newLastMs after previousLastMs: when the previous newest reading
    // was in view at the right edge, the view moves on so the new one is in view too.
    // Returns whether the view moved.
    bool follow(double previousLastMs, double newLastMs);

private:
    double from_ = 0.0;
    double to_ = 60000.0;
};

} // namespace varnex
