// What keeps the program's messages going: the window timer that polls the log and the pump of a long pass.
#include "platform/handles.h"
#include "platform/throttled_message_pump.h"
#include "platform/window_timer.h"

#include <gtest/gtest.h>

namespace tarnwatch::win {
namespace {

// Waits up to the given time for a tick of the window's timer.
bool TickArrivesWithin(HWND window, ULONGLONG waitMs) {
    MSG message{};
    for (const ULONGLONG end = ::GetTickCount64() + waitMs; ::GetTickCount64() < end; ::Sleep(10)) {
        if (::PeekMessageW(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            return true;
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
        EXPECT_FALSE(TickArrivesWithin(window.Get(), 300)) << "a new interval does not switch it on";
        timer.SetIntervalMs(3'600'000);
        timer.SetEnabled(true);
        EXPECT_FALSE(TickArrivesWithin(window.Get(), 300));
        timer.SetIntervalMs(20);
        EXPECT_TRUE(TickArrivesWithin(window.Get(), 2000)) << "a new interval while on takes effect";
    }
    EXPECT_FALSE(TickArrivesWithin(window.Get(), 300)) << "gone with the timer";
}

bool ProbePending() {
    MSG message{};
    return ::PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
}

TEST(ThrottledMessagePumpTest,
     TakesTheMessagesOnlyOnceItsPeriodIsOverRefreshingFirstAndLeavesTheQuitRequest) {
    int refreshes = 0;
    bool pendingAtRefresh = false;
    const auto refresh = [&] {
        ++refreshes;
        pendingAtRefresh = ProbePending();
    };
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 1, 0);
    ThrottledMessagePump patient(refresh, 3'600'000, 0);
    for (int line = 0; line < 10000; ++line) {
        patient.ProcessPendingMessages();
    }
    EXPECT_TRUE(ProbePending()) << "no message taken before the period is over";
    ThrottledMessagePump notRefreshing(refresh, 0, 3'600'000);
    notRefreshing.ProcessPendingMessages();
    EXPECT_FALSE(ProbePending());
    EXPECT_EQ(refreshes, 0);

    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 2, 0);
    ThrottledMessagePump eager(refresh, 0, 0);
    eager.ProcessPendingMessages();
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(pendingAtRefresh) << "the refresh comes before the messages";
    EXPECT_FALSE(ProbePending());

    ::PostQuitMessage(7);
    eager.ProcessPendingMessages();
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "left for the message loop";
    EXPECT_EQ(quit.wParam, 7u);
}

} // namespace
} // namespace tarnwatch::win
