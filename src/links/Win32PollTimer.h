#pragma once
// PollTimer on Windows: timer identifier 1 of a hidden message-only window, so the ticks
// arrive as WM_TIMER through the UI thread's message loop.
#include "links/PollTimer.h"

#include <windows.h>

namespace varnex {

class Win32PollTimer : public PollTimer {
public:
    Win32PollTimer();
    ~Win32PollTimer() override;

    Win32PollTimer(const Win32PollTimer&) = delete;
    Win32PollTimer& operator=(const Win32PollTimer&) = delete;

    void setHandler(std::function<void()> onTick) override { onTick_ = std::move(onTick); }
    void start(int periodMs) override;
    void stop() override;
    bool isActive() const override { return active_; }

    HWND window() const { return window_; }
    static constexpr UINT_PTR kTimerId = 1;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool active_ = false;
    std::function<void()> onTick_;
};

// Runs the thread's message loop for about `milliseconds` (tests and tools without a window).
void PumpMessagesFor(int milliseconds);

} // namespace varnex
