// The notification beep through kernel32's Beep.
#pragma once

#include "engine/ports.h"

namespace tarnwatch::win {

class WinBeeper final : public Beeper {
public:
    // Returns when the tone has ended.
    void Beep(int frequencyHz, int durationMs) override;
};

} // namespace tarnwatch::win
