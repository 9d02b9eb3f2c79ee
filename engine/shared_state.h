// The process-wide state shared by the engine and every window of the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwatch {

struct SharedState {
    // The user's settings, persisted in param.dat.
    std::int32_t RowLimit = 0;
    std::int32_t UpdateSeconds = 0;
    std::wstring LogFolder;
    std::vector<std::wstring> FilterIps;

    // Run-time state, never saved.
    std::wstring LogFilePath;
    bool SettingsDirty = false;
    bool InTray = false;
    bool SoundNotify = false;
};

} // namespace tarnwatch
