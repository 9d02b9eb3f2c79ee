// frmMain: the program's one main window with the monitor list, its timer and the menus.
#pragma once

#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/ports.h"
#include "engine/shared_state.h"
#include "platform/beep_queue.h"
#include "platform/folder_browser.h"
#include "platform/handles.h"
#include "platform/shell_open.h"
#include "platform/throttled_message_pump.h"
#include "platform/tray_icon.h"
#include "platform/window_timer.h"
#include "ui/base/program_look.h"
#include "ui/base/window.h"
#include "ui/dialogs/frm_help.h"
#include "ui/main/main_menu.h"
#include "ui/main/monitor_view.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace tarnwatch::ui {

// What the main window needs from the system; tests hand in stand-ins.
struct FrmMainPorts {
    MessageBoxes& Boxes;
    tarnwatch::Clock& Clock;
    win::BeepQueue& Beeper;
    AnsiCodePage& CodePage;
    FileSystem& Files;
    win::FolderBrowser& Browser;
    win::NotificationArea& Shell;
    win::ShellOpener& Opener;
};

class FrmMain final : public Window, private MonitorHost, private Tray {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchMainWindow";
    // The controls' ids, for tools that find them as a user's tools do.
    enum class Id : int { picYellow = 1, picBlue, lvwTarnwatch };
    // tmrUpdate's ticks arrive as WM_TIMER with this id.
    static constexpr UINT_PTR UpdateTimerId = 1;

    FrmMain(SharedState& state, const FrmMainPorts& ports, std::filesystem::path programFolder);

    // Creates the window and runs its load sequence, start-up of the monitor included.
    // False when start-up gave up: the window is gone again and was never shown.
    bool Load(HINSTANCE instance);
    void Show(int showCommand);

    // Runs once the window has closed, and the help window too when it was open.
    void SetClosedHandler(std::function<void()> closed) { closed_ = std::move(closed); }
    // The pop-up of the tray icon, whose marks can be read without popping it up.
    HMENU TrayMenu() const { return ::GetSubMenu(mnuTTray.Get(), 0); }

private:
    // Puts the window into the topmost band of the desktop, or takes it out.
    void SetTopMost(bool topMost);

    bool OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(NMHDR& header) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DpiChanged() override;

    void CreateControls();
    HWND CreatePicture(Id id, const TwipsRect& rect, ProgramIcon icon);
    void Form_Load();
    void ShowTodayInCaption();
    void Form_Resize(WPARAM sizeKind);
    void Form_Unload();
    void OnClose();
    using MenuClick = void (FrmMain::*)();
    static const std::vector<MenuPopup<MenuClick>>& MenuBarEntries();
    static const std::vector<MenuPopup<MenuClick>>& TrayMenuEntries();
    void OnMenuCommand(UINT command);
    void PlaceAtTopRight();
    void ApplyViewMode(int mode);
    std::filesystem::path SettingsFile() const;

    void tmrUpdate_Timer();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuTExit_Click();
    void mnuSet_Click();
    void mnuTSet_Click();
    void mnuFilter_Click();
    void mnuTFilter_Click();
    void ShowFilterDialog();
    void mnuNotify_Click();
    void mnuTNotify_Click();
    void SetSoundNotify(bool on, bool markTrayEntry);
    void mnuMin_Click();
    void mnuTShow_Click();
    bool BringOpenModalWindowToFront() const;
    void mnuCon_Click();
    void mnuAbout_Click();
    void mnuTAbout_Click();
    void ShowAboutBox();
    void mnuLine_Click();
    void mnuLog_Click();
    void WindowClosed();
    HICON TrayPictureIcon(TrayPicture picture) const;
    void mnuSim_Click();
    void mnuSta_Click();
    void mnuCom_Click();
    void mnuTOp_Click();

    // MonitorHost
    void ShowOptionsDialog() override;
    void ApplySettings(const SettingsOutcome& outcome);
    void EndProgram() override;
    void LogDayChanged() override;
    // Tray
    void SetTrayIcon(TrayPicture picture) override;

    SharedState& state_;
    FrmMainPorts ports_;
    std::filesystem::path programFolder_;
    std::function<void()> closed_;

    win::MenuHandle mnuTTray;
    win::TrayIcon tray_{ports_.Shell, ports_.Boxes};
    HWND picYellow = nullptr;
    HWND picBlue = nullptr;
    std::optional<win::WindowTimer> tmrUpdate;
    MonitorRows rows_;
    MonitorView lvwTarnwatch{rows_, ports_.CodePage};
    win::ThrottledMessagePump pump_{[this] { lvwTarnwatch.ShowRows(); }};
    std::optional<Monitor> monitor_;
    FrmHelp frmhelp{ports_.Boxes, [this] { WindowClosed(); }};

    std::int16_t viewMode_ = 2;
    bool loaded_ = false;
    bool startupGaveUp_ = false;
    bool unloaded_ = false;
    bool closed_window_ = false;
};

} // namespace tarnwatch::ui
