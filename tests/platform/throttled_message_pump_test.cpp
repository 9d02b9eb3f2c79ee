#include "throttled_message_pump.h"

#include "handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::win {
namespace {

constexpr UINT Probe = WM_APP + 1;

// The hook's runs and the probes dispatched to the window, in one sequence.
std::vector<std::wstring> events;

WindowHandle CreateProbeWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == Probe) {
            events.push_back(L"message " + std::to_wstring(wParam));
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = L"PumpProbeWindow";
    ::RegisterClassW(&windowClass);
    events.clear();
    return WindowHandle(::CreateWindowExW(0, L"PumpProbeWindow", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                          nullptr, nullptr));
}

TEST(ThrottledMessagePumpTest, RunsTheHookThenEveryPendingMessageOnlyOnceAPeriodIsOverOrWhenAsked) {
    const std::vector<std::wstring> hookThenProbes{L"hook", L"message 1", L"message 2"};
    for (const int periodMs : {3'600'000, 0}) {
        const WindowHandle window = CreateProbeWindow();
        ThrottledMessagePump pump([] { events.push_back(L"hook"); }, periodMs);
        ::PostMessageW(window.Get(), Probe, 1, 0);
        ::PostMessageW(window.Get(), Probe, 2, 0);
        for (int line = 0; line < (periodMs == 0 ? 1 : 10000); ++line) {
            pump.ProcessPendingMessages();
        }
        if (periodMs != 0) {
            EXPECT_TRUE(events.empty());
            pump.PumpNow();
        }
        EXPECT_EQ(events, hookThenProbes) << periodMs;
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
