// A window timer (SetTimer) whose ticks arrive as WM_TIMER with its id.
#pragma once

#include "engine/ports.h"

#include <windows.h>

namespace tarnwatch::win {

// Without its timer the program would sit still and look fine: a timer the system will not start throws
// WindowsError, so that the user hears of it.
class WindowTimer final : public PollTimer {
public:
    // Starts at once, as a timer designed enabled does.
    WindowTimer(HWND window, UINT_PTR id, std::int64_t intervalMs);
    ~WindowTimer() override;
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    void SetIntervalMs(std::int64_t intervalMs) override;
    void SetEnabled(bool enabled) override;

private:
    void Start();

    HWND window_;
    UINT_PTR id_;
    std::int64_t intervalMs_;
    bool enabled_ = false;
};

} // namespace tarnwatch::win
