#include "platform/throttled_message_pump.h"

#include <utility>

namespace tarnwatch::win {

ThrottledMessagePump::ThrottledMessagePump(std::function<void()> refresh, ULONGLONG periodMs,
                                           ULONGLONG refreshPeriodMs)
    : refresh_(std::move(refresh)), periodMs_(periodMs), refreshPeriodMs_(refreshPeriodMs),
      lastPumpMs_(::GetTickCount64()), lastRefreshMs_(lastPumpMs_) {}

void ThrottledMessagePump::ProcessPendingMessages() {
    if (::GetTickCount64() - lastPumpMs_ >= periodMs_) {
        PumpNow();
    }
}

void ThrottledMessagePump::PumpNow() {
    if (refresh_ && ::GetTickCount64() - lastRefreshMs_ >= refreshPeriodMs_) {
        refresh_();
        lastRefreshMs_ = ::GetTickCount64();
    }
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The quit belongs to the message loop outside the pass: hand it back and stop here.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    lastPumpMs_ = ::GetTickCount64();
}

} // namespace tarnwatch::win
