// The windows around the engine, for benchmarks: they answer every call and show nothing.
#pragma once

#include "engine/ports.h"

#include <cstdint>
#include <string>

namespace tarnwatch::bench {

class QuietWindows final : public MessageBoxes,
                           public PollTimer,
                           public MonitorHost,
                           public Tray,
                           public Beeper {
public:
    BoxAnswer Show(const std::wstring&, const std::wstring&, BoxButtons, BoxIcon) override {
        return BoxAnswer::Ok;
    }
    void SetIntervalMs(std::int64_t) override {}
    void SetEnabled(bool) override {}
    void ShowOptionsDialog() override {}
    void EndProgram() override {}
    void LogDayChanged() override {}
    void SetTrayIcon(TrayPicture) override {}
    void Beep(int, int) override {}
};

} // namespace tarnwatch::bench
