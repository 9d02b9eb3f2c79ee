#include "throttled_message_pump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace tarnwatch::win {
namespace {

constexpr UINT Probe = WM_APP + 1;

std::vector<std::wstring>* events = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == Probe && events != nullptr) {
        events->push_back(L"message " + std::to_wstring(wParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A hidden window that records the probes dispatched to it, and the hook's runs in the same sequence.
class PumpFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"PumpProbeWindow";
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowExW(0, L"PumpProbeWindow", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        events = &events_;
    }
    void TearDown() override {
        events = nullptr;
        ::DestroyWindow(window_);
    }

    bool ProbeStillQueued() {
        MSG message{};
        return ::PeekMessageW(&message, window_, Probe, Probe, PM_NOREMOVE) != FALSE;
    }

    HWND window_ = nullptr;
    std::vector<std::wstring> events_;
};

TEST_F(PumpFixture, DoesNothingUntilAPeriodHasPassed) {
    ThrottledMessagePump pump([this] { events_.push_back(L"hook"); }, 3'600'000);
    ::PostMessageW(window_, Probe, 1, 0);
    for (int line = 0; line < 10000; ++line) {
        pump.ProcessPendingMessages();
    }
    EXPECT_TRUE(events_.empty());
    EXPECT_TRUE(ProbeStillQueued());

    pump.PumpNow();
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"hook", L"message 1"}));
}

TEST_F(PumpFixture, OncePeriodIsOverRunsTheHookFirstThenEveryPendingMessage) {
    ThrottledMessagePump pump([this] { events_.push_back(L"hook"); }, 0);
    ::PostMessageW(window_, Probe, 1, 0);
    ::PostMessageW(window_, Probe, 2, 0);
    pump.ProcessPendingMessages();
    EXPECT_EQ(events_, (std::vector<std::wstring>{L"hook", L"message 1", L"message 2"}));
    EXPECT_FALSE(ProbeStillQueued());
}

TEST_F(PumpFixture, LeavesTheQuitRequestForTheMessageLoop) {
    ThrottledMessagePump pump(nullptr, 0);
    ::PostQuitMessage(7);
    pump.ProcessPendingMessages();
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

} // namespace
} // namespace tarnwatch::win
