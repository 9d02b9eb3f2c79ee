#include "ui/main/frm_main.h"

#include "engine/messages.h"
#include "engine/settings.h"
#include "platform/dpi.h"
#include "platform/system_error.h"
#include "platform/win_clock.h"
#include "platform/window_frame.h"
#include "ui/dialogs/author.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/main_menu.h"
#include "ui/main/menu_ids.h"
#include "ui/main/view_modes.h"

#include <commctrl.h>

#include <string>
#include <utility>

namespace tarnwatch::ui {

namespace {

constexpr const wchar_t* DesignCaption = L"corvin 's tarnwatch";

constexpr WindowDesign MainDesign{
    FrmMain::ClassName, DesignCaption, WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX, 0, 0, 0,
};

// The designed client area is square; the load keeps its width, the first resize replaces its height.
constexpr int DesignClientTwips = 4980;
// Gap between the window's right edge and the right edge of the screen.
constexpr int RightGapTwips = 7;
// The window spans the screen's height less this much.
constexpr int HeightShortfallTwips = 408;

constexpr std::int64_t DesignTimerIntervalMs = 1000;

bool IsChecked(HMENU menu, UINT command) {
    return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

} // namespace

FrmMain::FrmMain(SharedState& state, const FrmMainPorts& ports, std::filesystem::path programFolder)
    : Window(ports.Boxes), state_(state), ports_(ports), programFolder_(std::move(programFolder)) {}

bool FrmMain::Load(HINSTANCE instance) {
    // The window owns its menu bar from here on and destroys it with itself, also when the load fails.
    return Create(instance, MainDesign, BuildMenu(MenuBarEntries()).Release()) && loaded_;
}

void FrmMain::Show(int showCommand) {
    ::ShowWindow(Handle(), showCommand);
    ::UpdateWindow(Handle());
}

void FrmMain::SetTopMost(bool topMost) {
    ::SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        Form_Resize(wParam);
        return 0;
    case WM_TIMER:
        if (wParam == UpdateTimerId) {
            tmrUpdate_Timer();
        }
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        if (!unloaded_) {
            Form_Unload();
        }
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            Destroy();
        } else {
            // The session goes on after all: the next close asks again.
            unloaded_ = false;
        }
        return 0;
    case WM_DESTROY:
        // A dialog opened from this window goes with it, as if cancelled.
        if (const HWND open = OpenModalWindow()) {
            ::PostMessageW(open, WM_CLOSE, 0, 0);
        }
        if (loaded_) {
            closed_window_ = true;
            WindowClosed();
        }
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

bool FrmMain::OnCreate() {
    CreateControls();
    Form_Load();
    return loaded_;
}

// Menu commands only: controls send their notifications with their handle.
void FrmMain::OnCommand(int id, int, HWND control) {
    if (control == nullptr) {
        OnMenuCommand(static_cast<UINT>(id));
    }
}

LRESULT FrmMain::OnNotify(NMHDR& header) {
    if (header.hwndFrom == lvwTarnwatch.Handle() && header.code == LVN_GETDISPINFOW) {
        // The header is the first member of the list's request for the texts of a row.
        lvwTarnwatch.FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(&header));
    }
    return 0;
}

void FrmMain::CreateControls() {
    picYellow = CreatePicture(Id::picYellow, {3120, 3720, 615, 615}, ProgramIcon::Yellow);
    picBlue = CreatePicture(Id::picBlue, {1560, 3840, 615, 615}, ProgramIcon::Blue);
    tmrUpdate.emplace(Handle(), UpdateTimerId, DesignTimerIntervalMs);
    lvwTarnwatch.Create(Handle(), Instance(), IdOf(Id::lvwTarnwatch));
    PlaceControl(lvwTarnwatch.Handle(), {360, 240, 3615, 2775});
    mnuTTray = BuildMenu(TrayMenuEntries());
}

// A hidden picture box holding a 32x32 icon for the tray; it is never seen in the window.
HWND FrmMain::CreatePicture(Id id, const TwipsRect& rect, ProgramIcon icon) {
    const HWND picture = AddControl({IdOf(id), WC_STATICW, L"", WS_CHILD | SS_ICON, 0, rect});
    ::SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(LoadProgramIcon(Instance(), icon, 32)), 0);
    return picture;
}

void FrmMain::Form_Load() {
    viewMode_ = StandardMode;
    ShowTodayInCaption();
    PlaceAtTopRight();
    monitor_.emplace(state_, MonitorPorts{ports_.Boxes, *tmrUpdate, *this, ports_.Clock, *this, ports_.Beeper,
                                          pump_, ports_.CodePage, ports_.Files, rows_});
    const bool started = monitor_->StartMonitor(SettingsFile());
    lvwTarnwatch.ShowRows();
    loaded_ = started && !startupGaveUp_;
}

// The caption names the day of the log being read: the start's, and each new day's once its log is read.
void FrmMain::ShowTodayInCaption() {
    const std::wstring caption = std::wstring(DesignCaption) + L"   Today is " + win::ShortDateText();
    ::SetWindowTextW(Handle(), caption.c_str());
}

void FrmMain::PlaceAtTopRight() {
    const int client = Pixels(DesignClientTwips);
    const SIZE outer =
        win::OuterSizeForClient(SIZE{client, client}, MainDesign.Style, MainDesign.ExStyle, true, Dpi());
    // At the top right of the screen the window is on, beside a taskbar rather than under it.
    const RECT work = win::WindowMonitor(Handle()).Work;
    const int left = work.right - outer.cx - Pixels(RightGapTwips);
    ::SetWindowPos(Handle(), nullptr, left, work.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmMain::Form_Resize(WPARAM sizeKind) {
    // Minimized, there is nothing to lay out; restoring lays everything out again.
    if (!loaded_ || (sizeKind != SIZE_RESTORED && sizeKind != SIZE_MAXIMIZED)) {
        return;
    }
    SpanScreenHeightLess(HeightShortfallTwips);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::MoveWindow(lvwTarnwatch.Handle(), 0, 0, client.right, client.bottom, TRUE);
    ApplyViewMode(viewMode_);
}

// Column widths are twips: they change with the DPI even when the window's size in pixels does not.
void FrmMain::DpiChanged() {
    if (!::IsIconic(Handle())) {
        Form_Resize(SIZE_RESTORED);
    }
}

void FrmMain::ApplyViewMode(int mode) {
    ui::ApplyViewMode(::GetMenu(Handle()), lvwTarnwatch.Handle(), Dpi(), mode);
}

void FrmMain::tmrUpdate_Timer() {
    monitor_->ReadNewLines();
    // The pump brings the list up to date only now and then during a pass; whatever the pass ended with
    // is shown here.
    lvwTarnwatch.ShowRows();
}

// Every menu entry with its command and handler: the menus are built from these, and run their commands
// through them.
const std::vector<MenuPopup<FrmMain::MenuClick>>& FrmMain::MenuBarEntries() {
    static const std::vector<MenuPopup<MenuClick>> menus{
        {L"&File",
         {{L"&Save settings", mnuSave, &FrmMain::mnuSave_Click},
          {},
          {L"E&xit tarnwatch", mnuExit, &FrmMain::mnuExit_Click}}},
        {L"&Options",
         {{L"&Settings", mnuSet, &FrmMain::mnuSet_Click},
          {L"&Filtrate ip", mnuFilter, &FrmMain::mnuFilter_Click},
          {L"&Sound Notify", mnuNotify, &FrmMain::mnuNotify_Click},
          {},
          {L"&Minimize", mnuMin, &FrmMain::mnuMin_Click}}},
        {L"&View",
         {{L"&Simple mode", mnuSim, &FrmMain::mnuSim_Click},
          {L"S&tandard mode", mnuSta, &FrmMain::mnuSta_Click},
          {L"&Complete mode", mnuCom, &FrmMain::mnuCom_Click},
          {},
          {L"&Alway on top", mnuTOp, &FrmMain::mnuTOp_Click}}},
        {L"&Help",
         {{L"&On Line help", mnuLine, &FrmMain::mnuLine_Click},
          {L"&View LogFile", mnuLog, &FrmMain::mnuLog_Click},
          {L"&Help Contents", mnuCon, &FrmMain::mnuCon_Click},
          {},
          {L"&About tarnwatch", mnuAbout, &FrmMain::mnuAbout_Click}}},
    };
    return menus;
}

// The pop-up "Popup" (mnuTTray) of the tray icon, never on the menu bar.
const std::vector<MenuPopup<FrmMain::MenuClick>>& FrmMain::TrayMenuEntries() {
    static const std::vector<MenuPopup<MenuClick>> menus{
        {L"Popup",
         {{L"&Show Tarnwatch", mnuTShow, &FrmMain::mnuTShow_Click},
          {},
          {L"&Settings", mnuTSet, &FrmMain::mnuTSet_Click},
          {L"&Filter IP", mnuTFilter, &FrmMain::mnuTFilter_Click},
          {L"&Sound Notify", mnuTNotify, &FrmMain::mnuTNotify_Click},
          {L"&About Tarnwatch", mnuTAbout, &FrmMain::mnuTAbout_Click},
          {},
          {L"E&xit", mnuTExit, &FrmMain::mnuTExit_Click}}},
    };
    return menus;
}

void FrmMain::OnMenuCommand(UINT command) {
    for (const auto* menus : {&MenuBarEntries(), &TrayMenuEntries()}) {
        if (const MenuClick click = HandlerOf(*menus, command)) {
            (this->*click)();
            return;
        }
    }
}

// The close never fails: the window goes whatever the unload met on the way.
void FrmMain::OnClose() {
    try {
        if (!unloaded_) {
            Form_Unload();
        }
    } catch (...) {
        Destroy();
        throw;
    }
    Destroy();
}

void FrmMain::Form_Unload() {
    unloaded_ = true;
    if (state_.InTray) {
        tray_.RemoveTrayIcon();
        state_.InTray = false;
    }
    if (state_.SettingsDirty && ports_.Boxes.Show(messages::SaveQuestion, messages::SaveSettingsTitle,
                                                  BoxButtons::YesNo, BoxIcon::Question) == BoxAnswer::Yes) {
        SaveSettings(state_, SettingsFile(), ports_.CodePage, ports_.Boxes);
    }
}

std::filesystem::path FrmMain::SettingsFile() const {
    return programFolder_ / L"param.dat";
}

void FrmMain::mnuSave_Click() {
    SaveIfDirty(state_, SettingsFile(), ports_.CodePage, ports_.Boxes);
}

void FrmMain::mnuExit_Click() {
    ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void FrmMain::mnuTExit_Click() {
    ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void FrmMain::mnuSet_Click() {
    ShowOptionsDialog();
}

void FrmMain::mnuTSet_Click() {
    if (!BringOpenModalWindowToFront()) {
        ShowOptionsDialog();
    }
}

// Tray commands reach the window while one of the program's modal windows is open: that window comes to the
// front rather than a second one over it.
bool FrmMain::BringOpenModalWindowToFront() const {
    const HWND open = OpenModalWindow();
    if (open == nullptr) {
        return false;
    }
    ::SetForegroundWindow(open);
    return true;
}

void FrmMain::mnuFilter_Click() {
    ShowFilterDialog();
}

void FrmMain::mnuTFilter_Click() {
    if (!BringOpenModalWindowToFront()) {
        ShowFilterDialog();
    }
}

void FrmMain::mnuNotify_Click() {
    SetSoundNotify(!IsChecked(::GetMenu(Handle()), mnuNotify), state_.InTray);
}

// The tray entry decides by the mark of the main menu's entry, not by its own.
void FrmMain::mnuTNotify_Click() {
    SetSoundNotify(!IsChecked(::GetMenu(Handle()), mnuNotify), true);
}

void FrmMain::SetSoundNotify(bool on, bool markTrayEntry) {
    state_.SoundNotify = on;
    if (!on) {
        ports_.Beeper.Silence();
    }
    const UINT mark = on ? MF_CHECKED : MF_UNCHECKED;
    ::CheckMenuItem(::GetMenu(Handle()), mnuNotify, MF_BYCOMMAND | mark);
    if (markTrayEntry) {
        ::CheckMenuItem(TrayMenu(), mnuTNotify, MF_BYCOMMAND | mark);
    }
}

void FrmMain::mnuMin_Click() {
    const HMENU menuBar = ::GetMenu(Handle());
    const bool soundOn = IsChecked(menuBar, mnuNotify);
    ::CheckMenuItem(TrayMenu(), mnuTNotify, MF_BYCOMMAND | (soundOn ? MF_CHECKED : MF_UNCHECKED));
    if ((::GetMenuState(menuBar, mnuMin, MF_BYCOMMAND) & MF_GRAYED) != 0) {
        return;
    }
    if (!tray_.AddTrayIcon(Handle(), TrayMenu(), TrayPictureIcon(TrayPicture::Yellow))) {
        ports_.Boxes.Show(messages::TrayIconRefused, messages::MinimizeFailedTitle, BoxButtons::Ok,
                          BoxIcon::Critical);
        return;
    }
    state_.InTray = true;
    tray_.SetTrayTip(L"Corvin's Tarnwatch");
    ::ShowWindow(Handle(), SW_HIDE);
    ::EnableMenuItem(menuBar, mnuMin, MF_BYCOMMAND | MF_GRAYED);
}

void FrmMain::mnuTShow_Click() {
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    if (state_.InTray) {
        tray_.RemoveTrayIcon();
        state_.InTray = false;
        ::EnableMenuItem(::GetMenu(Handle()), mnuMin, MF_BYCOMMAND | MF_ENABLED);
    }
}

// The tray shows the icon at the small-icon size of the window's screen, drawn for it rather than squeezed.
HICON FrmMain::TrayPictureIcon(TrayPicture picture) const {
    return LoadProgramIcon(Instance(), picture == TrayPicture::Blue ? ProgramIcon::Blue : ProgramIcon::Yellow,
                           win::SystemMetricForDpi(SM_CXSMICON, Dpi()));
}

void FrmMain::ShowFilterDialog() {
    FrmFilter frmFilter(ports_.Boxes, state_);
    ApplySettings(frmFilter.Show(Instance()));
}

void FrmMain::mnuSim_Click() {
    viewMode_ = SimpleMode;
    ApplyViewMode(viewMode_);
}

void FrmMain::mnuSta_Click() {
    viewMode_ = StandardMode;
    ApplyViewMode(viewMode_);
}

void FrmMain::mnuCom_Click() {
    viewMode_ = CompleteMode;
    ApplyViewMode(viewMode_);
}

void FrmMain::mnuTOp_Click() {
    const HMENU menuBar = ::GetMenu(Handle());
    const bool onTop = !IsChecked(menuBar, mnuTOp);
    ::CheckMenuItem(menuBar, mnuTOp, MF_BYCOMMAND | (onTop ? MF_CHECKED : MF_UNCHECKED));
    SetTopMost(onTop);
}

void FrmMain::ShowOptionsDialog() {
    FrmOptionContext context{state_, ports_.Browser};
    FrmOption frmOption(ports_.Boxes, context);
    ApplySettings(frmOption.Show(Instance()));
}

// New settings take effect at once, but for the log folder, which counts from the next start.
void FrmMain::ApplySettings(const SettingsOutcome& outcome) {
    if (outcome.NewSettings) {
        const bool newPeriod = outcome.NewSettings->UpdateSeconds != state_.UpdateSeconds;
        static_cast<Settings&>(state_) = *outcome.NewSettings;
        monitor_->TrimMonitorList();
        lvwTarnwatch.ShowRows();
        if (newPeriod) {
            tmrUpdate->SetIntervalMs(TimerIntervalMs(state_.UpdateSeconds));
        }
    }
    state_.SettingsDirty = state_.SettingsDirty || outcome.Unsaved;
}

// The program goes on while the help window is open, and ends when the last of the two windows has closed.
void FrmMain::WindowClosed() {
    if (closed_window_ && !frmhelp.IsOpen() && closed_) {
        closed_();
    }
}

void FrmMain::mnuCon_Click() {
    frmhelp.Show(Instance());
}

void FrmMain::mnuAbout_Click() {
    ShowAboutBox();
}

void FrmMain::mnuTAbout_Click() {
    if (!BringOpenModalWindowToFront()) {
        ShowAboutBox();
    }
}

void FrmMain::ShowAboutBox() {
    FrmAbout frmAbout(ports_.Boxes);
    frmAbout.Show(Instance());
}

void FrmMain::mnuLine_Click() {
    ports_.Opener.Open(Handle(), std::wstring(L"http://") + AuthorHost + OnlineHelpPath);
}

// Only the path of the log being read is ever handed to the shell; nothing read from the log goes near it.
void FrmMain::mnuLog_Click() {
    constexpr std::int64_t LargestViewedBytes = std::int64_t{100} * 1024 * 1024;
    const std::wstring& path = state_.LogFilePath;
    if (!ports_.Files.IsPlainFile(path)) {
        ports_.Boxes.Show(messages::LogMissingToOpen(path), messages::OpenLogFailedTitle, BoxButtons::Ok,
                          BoxIcon::Critical);
        return;
    }
    const auto file = ports_.Files.OpenShared(path);
    if (file == nullptr) {
        // The program's files are Windows' own, whose last error tells why the log did not open.
        const DWORD error = ::GetLastError();
        ports_.Boxes.Show(messages::LogNotOpened(path, win::SystemErrorText(error)),
                          messages::OpenLogFailedTitle, BoxButtons::Ok, BoxIcon::Critical);
    } else if (file->Length() > LargestViewedBytes) {
        ports_.Boxes.Show(messages::LogTooBigToOpen(path), messages::OpenLogFailedTitle, BoxButtons::Ok,
                          BoxIcon::Critical);
    } else {
        ports_.Opener.Open(Handle(), path);
    }
}

void FrmMain::LogDayChanged() {
    ShowTodayInCaption();
}

void FrmMain::EndProgram() {
    startupGaveUp_ = true;
}

void FrmMain::SetTrayIcon(TrayPicture picture) {
    tray_.SetTrayIcon(TrayPictureIcon(picture));
}

} // namespace tarnwatch::ui
