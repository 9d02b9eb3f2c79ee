// Local date and time of day as the user has Windows show them.
#pragma once

#include "engine/ports.h"

#include <string>

namespace tarnwatch::win {

class WinClock final : public Clock {
public:
    CivilDate Today() override;
    std::int64_t SecondTick() override;
    std::wstring TimeOfDayText() override;
    std::int64_t SteadyMs() override;
};

// Today's date in the user's short date format.
std::wstring ShortDateText();

} // namespace tarnwatch::win
