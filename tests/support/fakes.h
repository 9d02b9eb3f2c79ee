// Small stand-ins for the windows around the engine.
#pragma once

#include "engine/latin1_code_page.h"
#include "engine/monitor_list.h"
#include "engine/ports.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwatch::testing {

struct ShownBox {
    std::wstring Text;
    std::wstring Title;
    BoxButtons Buttons;
    BoxIcon Icon;
};

// Answers message boxes from a script and records what was shown.
class ScriptedBoxes final : public MessageBoxes {
public:
    std::deque<BoxAnswer> Answers;
    std::vector<ShownBox> Shown;

    BoxAnswer Show(const std::wstring& text, const std::wstring& title, BoxButtons buttons,
                   BoxIcon icon) override {
        Shown.push_back({text, title, buttons, icon});
        if (Answers.empty()) {
            return buttons == BoxButtons::RetryCancel ? BoxAnswer::Cancel : BoxAnswer::Ok;
        }
        const BoxAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

class RecordingTimer final : public PollTimer {
public:
    std::int64_t IntervalMs = 1000;
    bool Enabled = true;
    void SetIntervalMs(std::int64_t intervalMs) override { IntervalMs = intervalMs; }
    void SetEnabled(bool enabled) override { Enabled = enabled; }
};

class FixedClock final : public Clock {
public:
    CivilDate Date{2003, 9, 5};
    std::int64_t Second = 0;
    std::int64_t Ms = 0;
    std::wstring Time = L"10:15:32";
    int TimeTextCalls = 0;
    CivilDate Today() override { return Date; }
    std::int64_t SecondTick() override { return Second; }
    std::wstring TimeOfDayText() override {
        ++TimeTextCalls;
        return Time;
    }
    std::int64_t SteadyMs() override { return Ms; }
};

// Records tray pictures and beeps in one sequence so that their order is visible.
class EventLog final : public Tray, public Beeper {
public:
    std::vector<std::wstring> Events;
    void SetTrayIcon(TrayPicture picture) override {
        Events.push_back(picture == TrayPicture::Blue ? L"blue" : L"yellow");
    }
    void Beep(int frequencyHz, int durationMs) override {
        Events.push_back(L"beep " + std::to_wstring(frequencyHz) + L" " + std::to_wstring(durationMs));
    }
};

// Runs the hook at every call, as a message pump may run a tick or let the server write in the middle of a
// pass.
class HookPump final : public MessagePump {
public:
    std::function<void()> Hook = [] {};
    void ProcessPendingMessages() override { Hook(); }
};

} // namespace tarnwatch::testing
