#include "platform/throttled_message_pump.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwatch::win {
namespace {

bool ProbePending() {
    MSG message{};
    return ::PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
}

TEST(ThrottledMessagePumpTest, RunsTheHookThenTakesEveryPendingMessageOnlyOnceAPeriodIsOverOrWhenAsked) {
    for (const ULONGLONG periodMs : {3'600'000ULL, 0ULL}) {
        SCOPED_TRACE(periodMs);
        std::vector<bool> pendingAtHook;
        ThrottledMessagePump pump([&] { pendingAtHook.push_back(ProbePending()); }, periodMs);
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 1, 0);
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 2, 0);
        for (int line = 0; line < (periodMs == 0 ? 1 : 10000); ++line) {
            pump.ProcessPendingMessages();
        }
        if (periodMs != 0) {
            EXPECT_TRUE(pendingAtHook.empty() && ProbePending());
            pump.PumpNow();
        }
        EXPECT_EQ(pendingAtHook, std::vector<bool>{true});
        EXPECT_FALSE(ProbePending());
    }
}

TEST(ThrottledMessagePumpTest, LeavesTheQuitRequestForTheMessageLoop) {
    ThrottledMessagePump pump(nullptr, 0);
    ::PostQuitMessage(7);
    pump.ProcessPendingMessages();
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

} // namespace
} // namespace tarnwatch::win
