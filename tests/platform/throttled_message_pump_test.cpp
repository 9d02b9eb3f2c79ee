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

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == Probe) {
        events.push_back(L"message " + std::to_wstring(wParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

WindowHandle CreateProbeWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PumpProbeWindow";
    ::RegisterClassW(&windowClass);
    events.clear();
    return WindowHandle(::CreateWindowExW(0, L"PumpProbeWindow", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr));
}

TEST(ThrottledMessagePumpTest, DoesNothingUntilAPeriodHasPassed) {
    const WindowHandle window = CreateProbeWindow();
    ThrottledMessagePump pump([] { events.push_back(L"hook"); }, 3'600'000);
    ::PostMessageW(window.Get(), Probe, 1, 0);
    for (int line = 0; line < 10000; ++line) {
        pump.ProcessPendingMessages();
    }
    EXPECT_TRUE(events.empty());

    pump.PumpNow();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"hook", L"message 1"}));
}

TEST(ThrottledMessagePumpTest, OnceAPeriodIsOverRunsTheHookFirstThenEveryPendingMessage) {
    const WindowHandle window = CreateProbeWindow();
    ThrottledMessagePump pump([] { events.push_back(L"hook"); }, 0);
    ::PostMessageW(window.Get(), Probe, 1, 0);
    ::PostMessageW(window.Get(), Probe, 2, 0);
    pump.ProcessPendingMessages();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"hook", L"message 1", L"message 2"}));
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
