// frmMain: the program's one main window with the monitor list, its timer and the menus.
#pragma once

#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/ports.h"
#include "engine/shared_state.h"
#include "platform/folder_browser.h"
#include "platform/handles.h"
#include "platform/throttled_message_pump.h"
#include "platform/window_timer.h"
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
    tarnwatch::Beeper& Beeper;
    AnsiCodePage& CodePage;
    FileSystem& Files;
    win::FolderBrowser& Browser;
};

class FrmMain final : private StartupHost, private Tray {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchMainWindow";
    // tmrUpdate's ticks arrive as WM_TIMER with this id.
    static constexpr UINT_PTR UpdateTimerId = 1;

    FrmMain(SharedState& state, const FrmMainPorts& ports, std::filesystem::path programFolder);
    ~FrmMain() override;
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // Creates the window and runs its load sequence, start-up of the monitor included.
    // False when start-up gave up: the window is gone again and was never shown.
    bool Load(HINSTANCE instance);
    void Show(int showCommand);

    // Runs once the window has closed.
    void SetClosedHandler(std::function<void()> closed) { closed_ = std::move(closed); }

    HWND Handle() const { return window_.Get(); }
    HWND MonitorListHandle() const { return lvwTarnwatch.Handle(); }
    HMENU TrayMenu() const { return mnuTTray.Get(); }
    std::int16_t ViewMode() const { return viewMode_; }

    // Puts the window into the topmost band of the desktop, or takes it out.
    void SetTopMost(bool topMost);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnSize(WPARAM sizeKind);
    void OnTimer(UINT_PTR timerId);
    void OnCommand(UINT command);
    LRESULT OnNotify(const NMHDR& header, LPARAM lParam);
    void OnClose();
    void OnQueryEndSession();
    void OnEndSession(bool ending);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnDestroy();

    void CreateControls();
    void ApplyFont();
    bool Form_Load();
    void Form_Unload();
    void PlaceAtTopRight();
    void ApplyViewMode(int mode);
    std::filesystem::path SettingsFile() const;

    void tmrUpdate_Timer();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuTExit_Click();
    void mnuSet_Click();
    void mnuTSet_Click();
    void mnuSim_Click();
    void mnuSta_Click();
    void mnuCom_Click();
    void mnuTOp_Click();

    // StartupHost
    void ShowOptionsDialog() override;
    void EndProgram() override;
    // Tray
    void SetTrayIcon(TrayPicture picture) override;

    SharedState& state_;
    FrmMainPorts ports_;
    std::filesystem::path programFolder_;
    std::function<void()> closed_;

    win::WindowHandle window_;
    win::MenuHandle mnuTTray;
    win::FontHandle font_;
    HWND picYellow = nullptr;
    HWND picBlue = nullptr;
    std::optional<win::WindowTimer> tmrUpdate;
    MonitorRows rows_;
    MonitorView lvwTarnwatch{rows_, ports_.CodePage};
    win::ThrottledMessagePump pump_{[this] { lvwTarnwatch.ShowRows(); }};
    std::optional<Monitor> monitor_;

    // The DPI the window is laid out for; it follows the window from monitor to monitor.
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::int16_t viewMode_ = 2;
    bool loaded_ = false;
    bool startupGaveUp_ = false;
    bool unloaded_ = false;
};

} // namespace tarnwatch::ui
