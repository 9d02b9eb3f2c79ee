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
    // Bringing a list up to date costs a repaint of it, which is slow under Wine: ten a second are enough
    // to watch a pass go by.
    static constexpr ULONGLONG DefaultRefreshPeriodMs = 100;

    // refresh runs before the messages are processed once refreshPeriodMs have passed since it last ran,
    // so that what they paint is recent.
    explicit ThrottledMessagePump(std::function<void()> refresh, ULONGLONG periodMs = DefaultPeriodMs,
                                  ULONGLONG refreshPeriodMs = DefaultRefreshPeriodMs);

    // Called after every line: only reads the tick counter unless a period has passed.
    void ProcessPendingMessages() override;

private:
    // Processes every pending message now, refreshing first when that is due.
    void PumpNow();

    std::function<void()> refresh_;
    ULONGLONG periodMs_;
    ULONGLONG refreshPeriodMs_;
    ULONGLONG lastPumpMs_;
    ULONGLONG lastRefreshMs_;
};

} // namespace tarnwatch::win
