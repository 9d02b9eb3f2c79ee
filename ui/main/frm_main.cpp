#include "ui/main/frm_main.h"

#include "engine/messages.h"
#include "engine/settings.h"
#include "platform/dpi.h"
#include "platform/twips.h"
#include "platform/win_clock.h"
#include "platform/window_frame.h"
#include "resources/resource.h"
#include "ui/dialogs/option_dialog.h"
#include "ui/main/main_menu.h"
#include "ui/main/menu_ids.h"
#include "ui/main/view_modes.h"

#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace tarnwatch::ui {

namespace {

constexpr const wchar_t* DesignCaption = L"corvin 's tarnwatch";
constexpr DWORD WindowStyle = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
constexpr DWORD WindowExStyle = 0;

// The designed client area is square; the load keeps its width, the first resize replaces its height.
constexpr int DesignClientTwips = 4980;
// Gap between the window's right edge and the right edge of the screen.
constexpr int RightGapTwips = 7;
// The window spans the screen's height less this much.
constexpr int HeightShortfallTwips = 408;

constexpr std::int64_t DesignTimerIntervalMs = 1000;

enum ControlId : int { PicYellowId = 1, PicBlueId, MonitorListId };

RECT TwipsRect(int left, int top, int width, int height, int dpi) {
    const int x = win::TwipsToPixels(left, dpi);
    const int y = win::TwipsToPixels(top, dpi);
    return RECT{x, y, x + win::TwipsToPixels(width, dpi), y + win::TwipsToPixels(height, dpi)};
}

// A hidden picture box holding a 32x32 icon for the tray; it is never seen in the window.
HWND CreatePicture(HWND parent, HINSTANCE instance, int controlId, const RECT& bounds, int iconId) {
    const HWND picture =
        ::CreateWindowExW(0, WC_STATICW, nullptr, WS_CHILD | SS_ICON, bounds.left, bounds.top,
                          bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    // Shared icons belong to the system and need no freeing.
    const auto icon =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 32, 32, LR_SHARED));
    ::SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return picture;
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, FrmMain::ClassName, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = win::LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = win::LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = FrmMain::ClassName;
    ::RegisterClassExW(&windowClass);
}

bool IsChecked(HMENU menu, UINT command) {
    return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

} // namespace

FrmMain::FrmMain(SharedState& state, const FrmMainPorts& ports, std::filesystem::path programFolder)
    : state_(state), ports_(ports), programFolder_(std::move(programFolder)) {}

// Destroying the window here is not closing it: nothing is asked and nothing is saved.
FrmMain::~FrmMain() {
    window_.Reset();
}

bool FrmMain::Load(HINSTANCE instance) {
    RegisterWindowClass(instance, &FrmMain::WindowProc);
    // The window owns its menu bar from here on and destroys it with itself, also when the load fails.
    const HMENU menuBar = BuildMenuBar().Release();
    return ::CreateWindowExW(WindowExStyle, ClassName, DesignCaption, WindowStyle, 0, 0, 0, 0, nullptr,
                             menuBar, instance, this) != nullptr;
}

void FrmMain::Show(int showCommand) {
    ::ShowWindow(Handle(), showCommand);
    ::UpdateWindow(Handle());
}

void FrmMain::SetTopMost(bool topMost) {
    ::SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

LRESULT CALLBACK FrmMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FrmMain* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<FrmMain*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.Reset(window);
    } else {
        self = reinterpret_cast<FrmMain*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window is gone: nothing is left to destroy.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.Release();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT FrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        OnSize(wParam);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        // Menu commands only: controls send their notifications with their handle in lParam.
        if (lParam == 0) {
            OnCommand(LOWORD(wParam));
        }
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        OnQueryEndSession();
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(wParam != FALSE);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return ::DefWindowProcW(Handle(), message, wParam, lParam);
    }
}

bool FrmMain::OnCreate() {
    CreateControls();
    loaded_ = Form_Load();
    return loaded_;
}

void FrmMain::CreateControls() {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(Handle(), GWLP_HINSTANCE));
    dpi_ = win::WindowDpi(Handle());
    picYellow = CreatePicture(Handle(), instance, PicYellowId, TwipsRect(3120, 3720, 615, 615, dpi_),
                              IDI_TARNWATCH_YELLOW);
    picBlue = CreatePicture(Handle(), instance, PicBlueId, TwipsRect(1560, 3840, 615, 615, dpi_),
                            IDI_TARNWATCH_BLUE);
    tmrUpdate.emplace(Handle(), UpdateTimerId, DesignTimerIntervalMs);
    lvwTarnwatch.Create(Handle(), instance, MonitorListId, TwipsRect(360, 240, 3615, 2775, dpi_));
    ApplyFont();
    mnuTTray = BuildTrayMenu();
}

void FrmMain::ApplyFont() {
    win::FontHandle font = win::CreateProgramFont(dpi_);
    for (const HWND control : {picYellow, picBlue, lvwTarnwatch.Handle()}) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    // The old font goes only now that no control uses it any more.
    font_ = std::move(font);
}

bool FrmMain::Form_Load() {
    viewMode_ = StandardMode;
    // The date is taken once: the caption keeps the day the program started.
    const std::wstring caption = std::wstring(DesignCaption) + L"   Today is " + win::ShortDateText();
    ::SetWindowTextW(Handle(), caption.c_str());
    PlaceAtTopRight();
    monitor_.emplace(state_, MonitorPorts{ports_.Boxes, *tmrUpdate, *this, ports_.Clock, *this, ports_.Beeper,
                                          pump_, ports_.CodePage, ports_.Files, rows_});
    const bool started = monitor_->StartMonitor(SettingsFile());
    lvwTarnwatch.ShowRows();
    return started && !startupGaveUp_;
}

void FrmMain::PlaceAtTopRight() {
    const int client = win::TwipsToPixels(DesignClientTwips, dpi_);
    const SIZE outer = win::OuterSizeForClient(SIZE{client, client}, WindowStyle, WindowExStyle, true, dpi_);
    const int left = ::GetSystemMetrics(SM_CXSCREEN) - outer.cx - win::TwipsToPixels(RightGapTwips, dpi_);
    ::SetWindowPos(Handle(), nullptr, left, 0, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmMain::OnSize(WPARAM sizeKind) {
    // Minimized, there is nothing to lay out; restoring lays everything out again.
    if (!loaded_ || (sizeKind != SIZE_RESTORED && sizeKind != SIZE_MAXIMIZED)) {
        return;
    }
    RECT bounds{};
    ::GetWindowRect(Handle(), &bounds);
    const int height = ::GetSystemMetrics(SM_CYSCREEN) - win::TwipsToPixels(HeightShortfallTwips, dpi_);
    if (bounds.bottom - bounds.top != height) {
        // Comes back here once more from within; that inner run finds the height right.
        ::SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::MoveWindow(lvwTarnwatch.Handle(), 0, 0, client.right, client.bottom, TRUE);
    ApplyViewMode(viewMode_);
}

void FrmMain::ApplyViewMode(int mode) {
    ui::ApplyViewMode(::GetMenu(Handle()), lvwTarnwatch.Handle(), dpi_, mode);
}

void FrmMain::OnTimer(UINT_PTR timerId) {
    if (timerId == UpdateTimerId) {
        tmrUpdate_Timer();
    }
}

void FrmMain::tmrUpdate_Timer() {
    monitor_->ReadNewLines();
    lvwTarnwatch.ShowRows();
}

void FrmMain::OnCommand(UINT command) {
    switch (command) {
    case mnuSave:
        mnuSave_Click();
        break;
    case mnuExit:
        mnuExit_Click();
        break;
    case mnuTExit:
        mnuTExit_Click();
        break;
    case mnuSet:
        mnuSet_Click();
        break;
    case mnuTSet:
        mnuTSet_Click();
        break;
    case mnuSim:
        mnuSim_Click();
        break;
    case mnuSta:
        mnuSta_Click();
        break;
    case mnuCom:
        mnuCom_Click();
        break;
    case mnuTOp:
        mnuTOp_Click();
        break;
    default:
        break;
    }
}

LRESULT FrmMain::OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.hwndFrom == lvwTarnwatch.Handle() && header.code == LVN_GETDISPINFOW) {
        lvwTarnwatch.FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
    }
    return 0;
}

void FrmMain::OnClose() {
    if (!unloaded_) {
        Form_Unload();
    }
    window_.Reset();
}

void FrmMain::OnQueryEndSession() {
    if (!unloaded_) {
        Form_Unload();
    }
}

void FrmMain::OnEndSession(bool ending) {
    if (ending) {
        window_.Reset();
    } else {
        // The session goes on after all: the next close asks again.
        unloaded_ = false;
    }
}

void FrmMain::Form_Unload() {
    unloaded_ = true;
    if (state_.SettingsDirty && ports_.Boxes.Show(messages::SaveQuestion, messages::SaveSettingsTitle,
                                                  BoxButtons::YesNo, BoxIcon::Question) == BoxAnswer::Yes) {
        SaveSettings(state_, SettingsFile(), ports_.CodePage, ports_.Boxes);
    }
}

void FrmMain::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    ApplyFont();
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Column widths are twips: they change with the DPI even when the window's size in pixels does not.
    if (!::IsIconic(Handle())) {
        OnSize(SIZE_RESTORED);
    }
}

void FrmMain::OnDestroy() {
    if (loaded_ && closed_) {
        closed_();
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
    ShowOptionsDialog();
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
    const UINT toggled = IsChecked(menuBar, mnuTOp) ? MF_UNCHECKED : MF_CHECKED;
    ::CheckMenuItem(menuBar, mnuTOp, MF_BYCOMMAND | toggled);
    SetTopMost(IsChecked(menuBar, mnuTOp));
}

void FrmMain::ShowOptionsDialog() {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(Handle(), GWLP_HINSTANCE));
    OptionDialogContext context{state_, *tmrUpdate,
                                [this] {
                                    monitor_->TrimMonitorList();
                                    lvwTarnwatch.ShowRows();
                                },
                                ports_.Browser};
    ShowOptionDialog(instance, context);
}

void FrmMain::EndProgram() {
    startupGaveUp_ = true;
}

// No tray icon exists before the window can hide in the tray, so InTray stays false and this is never asked.
void FrmMain::SetTrayIcon(TrayPicture) {}

} // namespace tarnwatch::ui
