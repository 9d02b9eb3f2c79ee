// Lets the window run its pending messages during a long read pass without costing the pass per line.
#pragma once

#include "engine/ports.h"

#include <windows.h>

#include <functional>

namespace tarnwatch::win {

class ThrottledMessagePump final : public MessagePump {
public:
    // The tick counter advances in steps of up to 16 ms, so a 20 ms period keeps every gap below 50 ms.
    static constexpr ULONGLONG DefaultPeriodMs = 20;

    // beforePumping runs each time messages really are processed, so that what they paint is current.
    explicit ThrottledMessagePump(std::function<void()> beforePumping, ULONGLONG periodMs = DefaultPeriodMs);

    // Called after every line: only reads the tick counter unless a period has passed.
    void ProcessPendingMessages() override;

private:
    void PumpNow();

    std::function<void()> beforePumping_;
    ULONGLONG periodMs_;
    ULONGLONG lastPumpMs_;
};

} // namespace tarnwatch::win
