// A real main window against a temporary program folder (param.dat) and log folder (today's log).
#pragma once

#include "engine/settings.h"
#include "engine/startup.h"
#include "platform/dpi.h"
#include "platform/win_clock.h"
#include "platform/win_code_page.h"
#include "platform/win_file_system.h"
#include "tests/engine/fakes.h"
#include "tests/engine/temp_folder.h"
#include "tests/support/iis_log.h"
#include "tests/ui/scripted_user.h"
#include "tests/ui/shell_fakes.h"
#include "ui/main/frm_main.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tarnwatch::testing {

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

struct StartSettings {
    std::int32_t RowLimit = 50;
    // Long enough that no real tick comes between the test's own.
    std::int32_t UpdateSeconds = 10;
    std::vector<std::wstring> FilterIps{L"127.0.0.1"};
    // Empty: the test's log folder.
    std::wstring LogFolder;
};

class MainWindowTest : public ::testing::Test {
protected:
    std::filesystem::path SettingsFile() const { return program_.Path() / "param.dat"; }
    std::wstring LogFolderSetting() const { return logs_.Path().wstring() + L"\\"; }
    std::filesystem::path TodaysLog() { return logs_.Path() / TodayLogFileName(clock_.Today()); }

    void WriteSettings(const StartSettings& settings = {}) {
        SharedState written;
        written.RowLimit = settings.RowLimit;
        written.UpdateSeconds = settings.UpdateSeconds;
        written.LogFolder = settings.LogFolder.empty() ? LogFolderSetting() : settings.LogFolder;
        written.FilterIps = settings.FilterIps;
        ASSERT_TRUE(SaveSettings(written, SettingsFile(), codePage_, boxes_));
    }

    // The log already holds a request from before the start, which must never become a row.
    void WriteLog(const std::string& header = LogHeader()) {
        logs_.Write(TodaysLog().filename().string(), header + Request("10.0.0.1", "/old"));
    }

    void AppendLog(const std::string& lines) {
        std::ofstream(TodaysLog(), std::ios::binary | std::ios::app) << lines;
    }

    bool Load() {
        frmMain_ = std::make_unique<ui::FrmMain>(
            state_, ui::FrmMainPorts{boxes_, clock_, beeps_, codePage_, files_, browser_, shell_, opener_},
            program_.Path());
        return frmMain_->Load(::GetModuleHandleW(nullptr));
    }

    void Start(const StartSettings& settings = {}) {
        WriteSettings(settings);
        WriteLog();
        ASSERT_TRUE(Load());
        frmMain_->Show(SW_SHOWNORMAL);
    }

    HWND Window() const { return frmMain_->Handle(); }
    HWND List() const { return frmMain_->MonitorListHandle(); }
    int Dpi() const { return win::WindowDpi(Window()); }
    void Tick() { ::SendMessageW(Window(), WM_TIMER, ui::FrmMain::UpdateTimerId, 0); }
    void Command(UINT command) { ::SendMessageW(Window(), WM_COMMAND, command, 0); }
    bool IsChecked(UINT command) const {
        return (::GetMenuState(::GetMenu(Window()), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    std::wstring Cell(int row, int column) const {
        std::array<wchar_t, 512> text{};
        ListView_GetItemText(List(), row, column, text.data(), 512);
        return text.data();
    }

    std::vector<std::wstring> Urls() const {
        std::vector<std::wstring> urls;
        for (int row = 0; row < ListView_GetItemCount(List()); ++row) {
            urls.push_back(Cell(row, 3));
        }
        return urls;
    }

    std::array<int, 4> ColumnWidths() const {
        return {ListView_GetColumnWidth(List(), 0), ListView_GetColumnWidth(List(), 1),
                ListView_GetColumnWidth(List(), 2), ListView_GetColumnWidth(List(), 3)};
    }

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
