#pragma once
// Which of the two link buttons is down: COMCon, USB, or neither (they exclude each other).

namespace varnex {

enum class ConnectionMode { Idle, Com, Usb };

} // namespace varnex
