// param.dat: the user's settings, one scrambled value per CR LF line.
#pragma once

#include "engine/ports.h"
#include "engine/shared_state.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

namespace tarnwatch {

// XOR key of the settings file: below 0x20, so no printable character turns into CR or LF.
inline constexpr unsigned char SettingsKey = 0x17;

// The largest param.dat in bytes that LoadSettings reads and SaveSettings writes. A file beyond it was not
// written by the program and is not read whole; below it there is room for over 240,000 filter entries of
// the longest address. Saving refuses to go beyond it, so the program never writes a file that its next
// start would refuse.
inline constexpr std::int64_t LargestSettingsFile = 4 * 1024 * 1024;

// Scrambles ANSI text byte by byte; applying it twice gives the text back.
std::string ScrambleText(std::string_view ansiText);
std::string ScrambleText(std::int64_t number);

enum class SettingsFault { Missing, Unreadable, Damaged };

// Why param.dat could not be read, in the words the user is shown.
struct SettingsRefusal {
    SettingsFault Fault = SettingsFault::Missing;
    std::wstring Text;
};

// The settings in the file, or why there are none: it is missing, cannot be read, or is damaged (fewer
// than three lines, a row limit or period that is no whole number, or larger than LargestSettingsFile).
// A file of three lines holds no filter list.
std::variant<Settings, SettingsRefusal> LoadSettings(const std::filesystem::path& settingsFile,
                                                     FileSystem& files, AnsiCodePage& codePage);

// Writes the four settings, replacing the old file only once the new one is complete.
// On failure, and when the file would be larger than LargestSettingsFile, tells the user, leaves the old
// file as it was and returns false.
bool SaveSettings(const Settings& settings, const std::filesystem::path& settingsFile, AnsiCodePage& codePage,
                  MessageBoxes& boxes);

// File > Save settings: writes only when something changed, and clears the flag once written.
void SaveIfDirty(SharedState& state, const std::filesystem::path& settingsFile, AnsiCodePage& codePage,
                 MessageBoxes& boxes);

// The polling period in milliseconds; a period below one second polls once a second.
std::int64_t TimerIntervalMs(std::int32_t updateSeconds);

} // namespace tarnwatch
