// The user's settings, as param.dat holds them, and the process-wide state shared by the engine and every
// window of the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwatch {

// What param.dat stores: a value, read at start-up and written on save.
struct Settings {
    std::int32_t RowLimit = 0;
    std::int32_t UpdateSeconds = 0;
    std::wstring LogFolder;
    std::vector<std::wstring> FilterIps;
    bool operator==(const Settings&) const = default;
};

// What a settings dialog leaves behind: the settings its OK stored, if any, and whether what was done in it
// counts as unsaved. The main window applies it, in one place.
struct SettingsOutcome {
    std::optional<Settings> NewSettings;
    bool Unsaved = false;
};

// The settings in force, and run-time state that is never saved.
struct SharedState : Settings {
    // The log being read; the monitor sets it.
    std::wstring LogFilePath;
    // The settings in force differ from those saved; only the main window sets and clears it.
    bool SettingsDirty = false;
    bool InTray = false;
    bool SoundNotify = false;
};

} // namespace tarnwatch
