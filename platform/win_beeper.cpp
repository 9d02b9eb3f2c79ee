#include "platform/win_beeper.h"

#include <windows.h>

namespace tarnwatch::win {

void WinBeeper::Beep(int frequencyHz, int durationMs) {
    ::Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(durationMs));
}

} // namespace tarnwatch::win
