#include "platform/window_timer.h"

#include "platform/system_error.h"

#include <algorithm>

namespace tarnwatch::win {

WindowTimer::WindowTimer(HWND window, UINT_PTR id, std::int64_t intervalMs)
    : window_(window), id_(id), intervalMs_(intervalMs) {
    SetEnabled(true);
}

WindowTimer::~WindowTimer() {
    SetEnabled(false);
}

void WindowTimer::SetIntervalMs(std::int64_t intervalMs) {
    intervalMs_ = intervalMs;
    if (enabled_) {
        // SetTimer with the same id replaces the period and restarts the count.
        Start();
    }
}

void WindowTimer::SetEnabled(bool enabled) {
    if (enabled) {
        Start();
    } else if (enabled_) {
        ::KillTimer(window_, id_);
    }
    enabled_ = enabled;
}

void WindowTimer::Start() {
    const auto period = std::clamp<std::int64_t>(intervalMs_, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    if (::SetTimer(window_, id_, static_cast<UINT>(period), nullptr) == 0) {
        const DWORD error = ::GetLastError();
        throw WindowsError(L"Cannot start the polling timer", error);
    }
}

} // namespace tarnwatch::win
