#include "links/Win32PollTimer.h"

#include <stdexcept>

namespace varnex {

namespace {
constexpr const char* kWindowClass = "VarnexPollTimerWindow";

ATOM RegisterTimerClass(WNDPROC proc)
{
    static const ATOM atom = [proc] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExA(&wc);
    }();
    return atom;
}
} // namespace

Win32PollTimer::Win32PollTimer()
{
    if (!RegisterTimerClass(&Win32PollTimer::WindowProc))
        throw std::runtime_error("cannot register the poll timer's window class");
    window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_)
        throw std::runtime_error("cannot create the poll timer's message window");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32PollTimer::~Win32PollTimer()
{
    stop();
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void Win32PollTimer::start(int periodMs)
{
    // Setting the same identifier again replaces the period.
    active_ = SetTimer(window_, kTimerId, static_cast<UINT>(periodMs < 1 ? 1 : periodMs), nullptr) != 0;
}

void Win32PollTimer::stop()
{
    if (active_)
        KillTimer(window_, kTimerId);
    active_ = false;
}

LRESULT CALLBACK Win32PollTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimerId) {
        auto* self = reinterpret_cast<Win32PollTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        // A WM_TIMER already queued when stop() ran is not a tick.
        if (self && self->active_ && self->onTick_)
            self->onTick_();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PumpMessagesFor(int milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

std::unique_ptr<PollTimer> MakeUiPollTimer() { return std::make_unique<Win32PollTimer>(); }

} // namespace varnex
