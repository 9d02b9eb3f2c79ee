#include "win_clock.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

namespace tarnwatch::win {
namespace {

TEST(WinClockTest, SecondTickCountsWholeSecondsOfTheSystemClock) {
    // The tick counts from 1601, the system clock from 1970.
    constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
    WinClock clock;
    const std::int64_t tick = clock.SecondTick();
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    EXPECT_NEAR(static_cast<double>(tick - SecondsFrom1601To1970), static_cast<double>(now), 1.0);
}

TEST(WinClockTest, TodayIsTheLocalDate) {
    WinClock clock;
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    const CivilDate today = clock.Today();
    EXPECT_EQ(today.Year, local.wYear);
    EXPECT_EQ(today.Month, local.wMonth);
    EXPECT_EQ(today.Day, local.wDay);
}

TEST(WinClockTest, TextsAreWholeAndUnpadded) {
    WinClock clock;
    const std::wstring time = clock.TimeOfDayText();
    ASSERT_FALSE(time.empty());
    EXPECT_EQ(time.find(L'\0'), std::wstring::npos);

    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    const std::wstring date = ShortDateText();
    EXPECT_EQ(date.find(L'\0'), std::wstring::npos);
    EXPECT_NE(date.find(std::to_wstring(local.wYear % 100)), std::wstring::npos) << date;
}

} // namespace
} // namespace tarnwatch::win
