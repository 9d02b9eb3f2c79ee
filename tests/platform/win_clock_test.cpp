#include "platform/win_clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tarnwatch::win {
namespace {

TEST(WinClockTest, SecondTickCountsWholeSecondsOfTheSystemClock) {
    // The tick counts from 1601, the standard clock from 1970.
    constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
    WinClock clock;
    const std::int64_t tick = clock.SecondTick();
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    EXPECT_NEAR(static_cast<double>(tick - SecondsFrom1601To1970), static_cast<double>(now), 1.0);
    EXPECT_FALSE(clock.TimeOfDayText().empty());
}

} // namespace
} // namespace tarnwatch::win
