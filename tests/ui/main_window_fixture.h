// A real main window against a temporary program folder (param.dat) and log folder (today's log), with
// stand-ins for the shell and the speaker: what the shell is told to show or open is recorded, tones are
// counted, not heard.
#pragma once

#include "engine/settings.h"
#include "engine/startup.h"
#include "platform/win_clock.h"
#include "platform/win_code_page.h"
#include "platform/win_file_system.h"
#include "tests/support/fakes.h"
#include "tests/support/iis_log.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/scripted_user.h"
#include "ui/main/frm_main.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
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
    bool RefusesIcons = false;
    bool Notify(DWORD action, const NOTIFYICONDATAW& icon) override {
        if (action == NIM_ADD && RefusesIcons) {
            return false;
        }
        Calls.push_back({action, icon});
        return true;
    }
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
    void Hold(bool held) {
        const std::lock_guard lock(mutex_);
        held_ = held;
        changed_.notify_all();
    }
    // The number of tones begun once there are at least the given number and no more come within a moment.
    int Tones(int atLeast = 0) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return tones_ >= atLeast; });
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

inline RECT WindowRect(HWND window) {
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    return bounds;
}
inline int Width(const RECT& bounds) {
    return bounds.right - bounds.left;
}
inline int Height(const RECT& bounds) {
    return bounds.bottom - bounds.top;
}

// Requests for the pages "/first" to "/last".
inline std::string Requests(int first, int last) {
    std::string lines;
    for (int request = first; request <= last; ++request) {
        std::string page = "/";
        page += std::to_string(request);
        lines += Request("192.168.0.1", page);
    }
    return lines;
}

class MainWindowTest : public ::testing::Test {
protected:
    std::filesystem::path SettingsFile() const { return program_.Path() / "param.dat"; }
    std::string SettingsBytes() const { return TempFolder::Read(SettingsFile()); }
    std::wstring LogFolderSetting() const { return logs_.Path().wstring() + L"\\"; }
    std::filesystem::path TodaysLog() { return logs_.Path() / TodayLogFileName(clock_.Today()); }

    // Polls every ten seconds, so that no real tick comes between the test's own. The log already holds a
    // request from before the start, which must never become a row.
    bool Load(std::int32_t rowLimit = 50, const std::wstring& logFolder = {}) {
        const Settings settings{
            rowLimit, 10, logFolder.empty() ? LogFolderSetting() : logFolder, {L"127.0.0.1"}};
        EXPECT_TRUE(SaveSettings(settings, SettingsFile(), codePage_, boxes_));
        logs_.Write(TodaysLog().filename().string(), LogHeader() + Request("10.0.0.1", "/old"));
        frmMain_ = std::make_unique<ui::FrmMain>(
            state_, ui::FrmMainPorts{boxes_, clock_, beeps_, codePage_, files_, browser_, shell_, opener_},
            program_.Path());
        return frmMain_->Load(::GetModuleHandleW(nullptr));
    }

    void Start(std::int32_t rowLimit = 50) {
        ASSERT_TRUE(Load(rowLimit));
        frmMain_->Show(SW_SHOWNORMAL);
    }

    void AppendLog(const std::string& lines) {
        std::ofstream(TodaysLog(), std::ios::binary | std::ios::app) << lines;
    }

    HWND Window() const { return frmMain_->Handle(); }
    HWND List() const { return ::GetDlgItem(Window(), ui::IdOf(ui::FrmMain::Id::lvwTarnwatch)); }
    // Null while the help window is not open.
    HWND Help() const { return ::FindWindowW(ui::FrmHelp::ClassName, nullptr); }
    HWND HelpList() const { return ::GetDlgItem(Help(), ui::IdOf(ui::FrmHelp::Id::lvwHelp)); }
    void Tick() { ::SendMessageW(Window(), WM_TIMER, ui::FrmMain::UpdateTimerId, 0); }
    void Command(UINT command) { ::SendMessageW(Window(), WM_COMMAND, command, 0); }
    // Whether the entry of the menu bar, or of the given menu, is checked (or has the given state).
    bool IsChecked(UINT command, HMENU menu = nullptr, UINT state = MF_CHECKED) const {
        return (::GetMenuState(menu != nullptr ? menu : ::GetMenu(Window()), command, MF_BYCOMMAND) &
                state) != 0;
    }
    std::vector<std::wstring> Urls() const { return ui::ColumnTexts(List(), 3); }
    int ColumnWidth(int column) const { return ListView_GetColumnWidth(List(), column); }

    TempFolder program_;
    TempFolder logs_;
    SharedState state_;
    ScriptedBoxes boxes_;
    win::WinClock clock_;
    CountingSpeaker speaker_;
    win::BeepQueue beeps_{speaker_};
    RecordingNotificationArea shell_;
    RecordingOpener opener_;
    win::WinAnsiCodePage codePage_;
    win::WinFileSystem files_;
    ui::FakeFolderBrowser browser_;
    // Last, so that the window goes before the folders it reads.
    std::unique_ptr<ui::FrmMain> frmMain_;
};

} // namespace tarnwatch::testing
