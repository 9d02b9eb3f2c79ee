#include "window_timer.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tarnwatch::win {
namespace {

constexpr UINT_PTR TimerId = 7;

// Waits up to the given time for a tick of the timer; other messages are passed on.
bool TickArrivesWithin(HWND window, DWORD waitMs) {
    const ULONGLONG end = ::GetTickCount64() + waitMs;
    while (::GetTickCount64() < end) {
        MSG message{};
        while (::PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER && message.wParam == TimerId) {
                return true;
            }
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

class WindowTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { ::DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(WindowTimerTest, TicksFromTheStartUntilSwitchedOff) {
    WindowTimer timer(window_, TimerId, 20);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_TRUE(TickArrivesWithin(window_, 2000));

    timer.SetEnabled(false);
    EXPECT_FALSE(TickArrivesWithin(window_, 300));

    timer.SetEnabled(true);
    EXPECT_TRUE(TickArrivesWithin(window_, 2000));
}

TEST_F(WindowTimerTest, ANewIntervalWhileOffDoesNotStartIt) {
    WindowTimer timer(window_, TimerId, 20);
    timer.SetEnabled(false);
    timer.SetIntervalMs(20);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(TickArrivesWithin(window_, 300));
    EXPECT_EQ(timer.IntervalMs(), 20);
}

TEST_F(WindowTimerTest, ANewIntervalWhileOnTakesEffect) {
    WindowTimer timer(window_, TimerId, 3'600'000);
    EXPECT_FALSE(TickArrivesWithin(window_, 200));
    timer.SetIntervalMs(20);
    EXPECT_TRUE(TickArrivesWithin(window_, 2000));
}

TEST_F(WindowTimerTest, StopsWhenDestroyed) {
    { WindowTimer timer(window_, TimerId, 20); }
    EXPECT_FALSE(TickArrivesWithin(window_, 300));
}

} // namespace
} // namespace tarnwatch::win
