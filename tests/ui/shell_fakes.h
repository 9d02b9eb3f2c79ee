// Stand-ins for the shell and the speaker: what the shell is told to show or open is recorded, tones are
// counted, not heard.
#pragma once

#include "platform/beep_queue.h"
#include "platform/shell_open.h"
#include "platform/tray_icon.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwatch::testing {

class RecordingNotificationArea final : public win::NotificationArea {
public:
    struct Call {
        DWORD Action;
        NOTIFYICONDATAW Icon;
    };
    std::vector<Call> Calls;
    void Notify(DWORD action, const NOTIFYICONDATAW& icon) override { Calls.push_back({action, icon}); }
};

class RecordingOpener final : public win::ShellOpener {
public:
    std::vector<std::wstring> Targets;
    void Open(HWND, const std::wstring& target) override { Targets.push_back(target); }
};

// While held, a tone does not end, as a real one lasts a while.
class CountingSpeaker final : public win::Speaker {
public:
    void Sound(int, int) override {
        std::unique_lock lock(mutex_);
        ++tones_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
    }
    void Hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release() {
        const std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    // Waits a while for the given number of tones to have begun.
    void WaitForTones(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return tones_ >= count; });
    }
    // The number of tones once no more come within a moment.
    int TonesWhenQuiet() {
        std::unique_lock lock(mutex_);
        while (changed_.wait_for(lock, std::chrono::milliseconds(200)) != std::cv_status::timeout) {
        }
        return tones_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int tones_ = 0;
    bool held_ = false;
};

} // namespace tarnwatch::testing
