#include "platform/win_clock.h"

#include <array>

namespace tarnwatch::win {

namespace {

constexpr std::int64_t FileTimeUnitsPerSecond = 10'000'000;

// Texts of a locale's time or date format are a few dozen characters at most.
using FormattedText = std::array<wchar_t, 128>;

std::wstring Formatted(const FormattedText& text, int written) {
    // The written count includes the terminating NUL; 0 means the call failed.
    return written > 0 ? std::wstring(text.data(), static_cast<std::size_t>(written - 1)) : std::wstring();
}

} // namespace

CivilDate WinClock::Today() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return CivilDate{now.wYear, now.wMonth, now.wDay};
}

const FILETIME& WinClock::Now() {
    const ULONGLONG tick = ::GetTickCount64();
    if (tick != readAtTick_) {
        ::GetSystemTimeAsFileTime(&now_);
        readAtTick_ = tick;
    }
    return now_;
}

std::int64_t WinClock::SecondTick() {
    // Whole seconds of UTC change together with the seconds of local time.
    const FILETIME& now = Now();
    const auto units = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(units / FileTimeUnitsPerSecond);
}

std::wstring WinClock::TimeOfDayText() {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!::FileTimeToLocalFileTime(&Now(), &local) || !::FileTimeToSystemTime(&local, &time)) {
        return {};
    }
    FormattedText text{};
    const int written = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, text.data(),
                                          static_cast<int>(text.size()));
    return Formatted(text, written);
}

std::int64_t WinClock::SteadyMs() {
    return static_cast<std::int64_t>(::GetTickCount64());
}

std::wstring ShortDateText() {
    FormattedText text{};
    const int written = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr,
                                          text.data(), static_cast<int>(text.size()), nullptr);
    return Formatted(text, written);
}

} // namespace tarnwatch::win
