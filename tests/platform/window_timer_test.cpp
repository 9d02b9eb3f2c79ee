#include "platform/window_timer.h"

#include "platform/handles.h"

#include <gtest/gtest.h>

namespace tarnwatch::win {
namespace {

// Waits up to the given time for a tick of timer 7.
bool TickArrivesWithin(HWND window, ULONGLONG waitMs) {
    MSG message{};
    for (const ULONGLONG end = ::GetTickCount64() + waitMs; ::GetTickCount64() < end; ::Sleep(10)) {
        while (::PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER && message.wParam == 7) {
                return true;
            }
        }
    }
    return false;
}

TEST(WindowTimerTest, TicksWhileOnAndTakesANewIntervalOnlyThen) {
    const WindowHandle window(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    {
        WindowTimer timer(window.Get(), 7, 20);
        EXPECT_TRUE(TickArrivesWithin(window.Get(), 2000)) << "on from the start";
        timer.SetEnabled(false);
        timer.SetIntervalMs(20);
        EXPECT_FALSE(timer.Enabled());
        EXPECT_FALSE(TickArrivesWithin(window.Get(), 300)) << "a new interval does not switch it on";
        timer.SetIntervalMs(3'600'000);
        timer.SetEnabled(true);
        EXPECT_FALSE(TickArrivesWithin(window.Get(), 300));
        timer.SetIntervalMs(20);
        EXPECT_TRUE(TickArrivesWithin(window.Get(), 2000)) << "a new interval while on takes effect";
    }
    EXPECT_FALSE(TickArrivesWithin(window.Get(), 300)) << "gone with the timer";
}

} // namespace
} // namespace tarnwatch::win
