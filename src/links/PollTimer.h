#pragma once
// The serial component's periodic poll on the UI thread, behind a seam so the component
// needs no GUI toolkit: a QTimer in the Qt program, SetTimer on a hidden message window on
// Windows. Ticks arrive only while the thread's event loop runs; a tick never overlaps another.
#include <functional>
#include <memory>

namespace varnex {

class PollTimer {
public:
    virtual ~PollTimer() = default;
    // Called on every tick. Set once, before the first start.
    virtual void setHandler(std::function<void()> onTick) = 0;
    // (Re)starts with the period in milliseconds (at least 1).
    virtual void start(int periodMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The poll timer of the platform the program is built for; defined by the platform's
// timer file (QtPollTimer.cpp, Win32PollTimer.cpp), so the component itself stays portable.
std::unique_ptr<PollTimer> MakeUiPollTimer();

} // namespace varnex
