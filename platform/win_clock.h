// Local date and time of day as the user has Windows show them.
#pragma once

#include "engine/ports.h"

#include <windows.h>

#include <string>

namespace tarnwatch::win {

class WinClock final : public Clock {
public:
    CivilDate Today() override;
    std::int64_t SecondTick() override;
    // The time of day of the latest reading of the system time, the one SecondTick counted.
    std::wstring TimeOfDayText() override;
    std::int64_t SteadyMs() override;

private:
    // A read pass asks for the time with every shown row, and under Wine the system time costs far more
    // than the tick counter: it is read again only once the counter has moved, as less than one of its
    // steps has passed until then.
    const FILETIME& Now();

    // No reading yet: the counter never gets there.
    ULONGLONG readAtTick_ = ~0ULL;
    FILETIME now_{};
};

// Today's date in the user's short date format.
std::wstring ShortDateText();

} // namespace tarnwatch::win
