#include "platform/throttled_message_pump.h"

#include <utility>

namespace tarnwatch::win {

ThrottledMessagePump::ThrottledMessagePump(std::function<void()> beforePumping, ULONGLONG periodMs)
    : beforePumping_(std::move(beforePumping)), periodMs_(periodMs), lastPumpMs_(::GetTickCount64()) {}

void ThrottledMessagePump::ProcessPendingMessages() {
    if (::GetTickCount64() - lastPumpMs_ >= periodMs_) {
        PumpNow();
    }
}

void ThrottledMessagePump::PumpNow() {
    if (beforePumping_) {
        beforePumping_();
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
