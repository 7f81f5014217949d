#pragma once
// The clock and the data indicator on the LCD panel, driven by ConTimer (100 ms).
#include <QDateTime>
#include <QString>

namespace varnex {

inline constexpr const char* kClockInitialText = "displaytime";

// "hh : nn : ss     mm - dd - yyyy", e.g. "14 : 05 : 09     12 - 08 - 2026".
QString FormatConnectionClock(const QDateTime& localTime);

// FrameWatchdogTicks: ConTimer ticks since the last decoded frame, counted 0, 1, 2; the
// third tick without a frame shows CONokN (no data) and starts again from 0.
class FrameWatchdog {
public:
    // Called by the decoder at the start of every frame it decodes.
    void frameDecoded();
    // One ConTimer tick.
    void tick();

    bool dataShown() const { return dataShown_; }  // CONok visible, CONokN hidden
    int ticks() const { return ticks_; }

private:
    int ticks_ = 0;
    bool dataShown_ = false;
};

} // namespace varnex
