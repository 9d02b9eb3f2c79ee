#include "ui/dialogs/option_dialog.h"

#include "engine/settings.h"
#include "engine/text.h"
#include "platform/dpi.h"
#include "platform/handles.h"
#include "platform/twips.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwatch::ui {

namespace {

constexpr wchar_t Caption[] = L"corvin 's tarnwatch - Option";
constexpr wchar_t BrowseTitle[] = L"Select the Logfile Folder";

// A fixed border without minimize and maximize buttons.
constexpr DWORD WindowStyle = WS_CAPTION | WS_SYSMENU;
constexpr int ClientWidthTwips = 7170;
constexpr int ClientHeightTwips = 2265;

struct TwipsRect {
    int Left;
    int Top;
    int Width;
    int Height;
};

// The controls inside fraSet are designed in the frame's coordinates.
constexpr TwipsRect FraSetRect{120, 0, 5895, 2175};

enum class Placement { OnDialog, InFrame };

struct ControlDesign {
    OptionControlId Id;
    const wchar_t* ClassName;
    const wchar_t* Text;
    DWORD Style;
    DWORD ExStyle;
    TwipsRect Rect;
    Placement Placed;
};

constexpr DWORD ChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD ButtonStyle = ChildStyle | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD SliderStyle = ChildStyle | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS;
constexpr DWORD LabelStyle = ChildStyle | SS_LEFT;

// Every control is created below the previous one, so this order is the focus order. What takes no focus
// comes last, and the frame lies beneath everything so that it never paints over what it holds.
const std::array<ControlDesign, 11> ControlDesigns{{
    {IdCmdSelect, WC_BUTTONW, L"...", ButtonStyle, 0, {5400, 1600, 375, 375}, Placement::InFrame},
    {IdTxtPath,
     WC_EDITW,
     L"",
     ChildStyle | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE,
     {240, 1600, 5055, 375},
     Placement::InFrame},
    {IdCmdOk, WC_BUTTONW, L"OK", ButtonStyle, 0, {6120, 120, 975, 375}, Placement::OnDialog},
    {IdCmdCancel, WC_BUTTONW, L"Cancel", ButtonStyle, 0, {6120, 600, 975, 375}, Placement::OnDialog},
    {IdSldSecond, TRACKBAR_CLASSW, L"", SliderStyle, 0, {1320, 360, 3375, 375}, Placement::InFrame},
    {IdSldNum, TRACKBAR_CLASSW, L"", SliderStyle, 0, {2040, 840, 3495, 375}, Placement::InFrame},
    {IdLabel1,
     WC_STATICW,
     L"Please Select Logfile Path:",
     LabelStyle,
     0,
     {120, 1320, 2415, 375},
     Placement::InFrame},
    {IdLabel2, WC_STATICW, L"Update After ", LabelStyle, 0, {120, 360, 2055, 375}, Placement::InFrame},
    {IdLabel3, WC_STATICW, L"Seconds", LabelStyle, 0, {4800, 360, 975, 375}, Placement::InFrame},
    {IdLabel4, WC_STATICW, L"List View Row Number", LabelStyle, 0, {120, 840, 2055, 375}, Placement::InFrame},
    {IdFraSet, WC_BUTTONW, L"Settings", ChildStyle | BS_GROUPBOX, 0, FraSetRect, Placement::OnDialog},
}};

struct SliderDesign {
    OptionControlId Id;
    int Minimum;
    int Maximum;
    int SmallStep;
    int LargeStep;
};

constexpr SliderDesign SldSecond{IdSldSecond, 1, 10, 1, 3};
constexpr SliderDesign SldNum{IdSldNum, 1, 50, 1, 5};

RECT PixelRect(const ControlDesign& design, int dpi) {
    const int originLeft = design.Placed == Placement::InFrame ? FraSetRect.Left : 0;
    const int originTop = design.Placed == Placement::InFrame ? FraSetRect.Top : 0;
    const int left = originLeft + design.Rect.Left;
    const int top = originTop + design.Rect.Top;
    // Both edges are rounded, not the width, so that controls designed to line up still do.
    return RECT{win::TwipsToPixels(left, dpi), win::TwipsToPixels(top, dpi),
                win::TwipsToPixels(left + design.Rect.Width, dpi),
                win::TwipsToPixels(top + design.Rect.Height, dpi)};
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// The log path is the folder followed directly by the daily file name, so a chosen folder gets its "\".
std::wstring LogFolderFromBrowser(const std::wstring& browsed) {
    std::wstring folder(TrimSpaces(browsed));
    if (!folder.empty() && folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}

// A dialog without an owner is modal to the whole thread: the thread's other windows ignore input while it
// is open, yet still get their messages. Only what this disabled is enabled again.
class ThreadWindowsDisabled {
public:
    explicit ThreadWindowsDisabled(HWND dialog) : dialog_(dialog) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (const HWND window : disabled_) {
            ::EnableWindow(window, FALSE);
        }
    }
    ~ThreadWindowsDisabled() {
        for (const HWND window : disabled_) {
            if (::IsWindow(window)) {
                ::EnableWindow(window, TRUE);
            }
        }
    }
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto& disabler = *reinterpret_cast<ThreadWindowsDisabled*>(self);
        if (window != disabler.dialog_ && ::IsWindowEnabled(window)) {
            disabler.disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND dialog_;
    std::vector<HWND> disabled_;
};

class OptionWindow {
public:
    OptionWindow(HINSTANCE instance, OptionDialogContext& context);
    OptionWindow(const OptionWindow&) = delete;
    OptionWindow& operator=(const OptionWindow&) = delete;

    void RunModal();

private:
    static void RegisterWindowClass(HINSTANCE instance);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void SetClientSize(int dpi);
    void CreateControls(HINSTANCE instance, int dpi);
    void SetUpSlider(const SliderDesign& design);
    void SetSliderValue(const SliderDesign& design, std::int32_t value);
    std::int32_t SliderValue(const SliderDesign& design) const;
    HWND Control(OptionControlId id) const { return ::GetDlgItem(window_.Get(), id); }

    void Load();
    void OnCmdSelect();
    void OnCmdOk();
    bool HandleDialogKey(const MSG& message);
    void MoveFocus(bool backwards);

    OptionDialogContext& context_;
    win::FontHandle font_;
    win::FontHandle boldFont_;
    // Declared after the fonts so that the window is gone before they are deleted.
    win::WindowHandle window_;
    HWND focusWhenInactive_ = nullptr;
    bool closed_ = false;
};

OptionWindow::OptionWindow(HINSTANCE instance, OptionDialogContext& context) : context_(context) {
    const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&commonControls);
    RegisterWindowClass(instance);

    // Created hidden at the default place; the size follows once the window knows its screen's DPI.
    window_.Reset(::CreateWindowExW(0, OptionWindowClass, Caption, WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this));
    if (!window_) {
        return;
    }
    const int dpi = win::WindowDpi(window_.Get());
    font_ = win::CreateProgramFont(dpi);
    boldFont_ = win::CreateProgramFont(dpi, true);
    ::SendMessageW(window_.Get(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(win::LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXICON))));
    ::SendMessageW(window_.Get(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(win::LoadProgramIcon(instance, ::GetSystemMetrics(SM_CXSMICON))));
    SetClientSize(dpi);
    CreateControls(instance, dpi);
    SetUpSlider(SldSecond);
    SetUpSlider(SldNum);
    focusWhenInactive_ = Control(IdCmdSelect);
    Load();
}

void OptionWindow::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (::GetClassInfoExW(instance, OptionWindowClass, &windowClass)) {
        return;
    }
    windowClass.lpfnWndProc = &OptionWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = OptionWindowClass;
    ::RegisterClassExW(&windowClass);
}

void OptionWindow::SetClientSize(int dpi) {
    RECT outer{};
    RECT client{};
    ::GetWindowRect(window_.Get(), &outer);
    ::GetClientRect(window_.Get(), &client);
    const int width = win::TwipsToPixels(ClientWidthTwips, dpi) + (outer.right - outer.left) - client.right;
    const int height =
        win::TwipsToPixels(ClientHeightTwips, dpi) + (outer.bottom - outer.top) - client.bottom;
    ::SetWindowPos(window_.Get(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionWindow::CreateControls(HINSTANCE instance, int dpi) {
    for (const ControlDesign& design : ControlDesigns) {
        const RECT rect = PixelRect(design, dpi);
        const HWND control =
            ::CreateWindowExW(design.ExStyle, design.ClassName, design.Text, design.Style, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top, window_.Get(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.Id)), instance, nullptr);
        const HFONT font = design.Id == IdCmdSelect ? boldFont_.Get() : font_.Get();
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void OptionWindow::SetUpSlider(const SliderDesign& design) {
    const HWND slider = Control(design.Id);
    ::SendMessageW(slider, TBM_SETRANGEMIN, FALSE, design.Minimum);
    ::SendMessageW(slider, TBM_SETRANGEMAX, TRUE, design.Maximum);
    ::SendMessageW(slider, TBM_SETLINESIZE, 0, design.SmallStep);
    ::SendMessageW(slider, TBM_SETPAGESIZE, 0, design.LargeStep);
}

void OptionWindow::SetSliderValue(const SliderDesign& design, std::int32_t value) {
    // A stored value the slider cannot take shows as the nearest end of its range.
    const std::int32_t shown = std::clamp<std::int32_t>(value, design.Minimum, design.Maximum);
    ::SendMessageW(Control(design.Id), TBM_SETPOS, TRUE, shown);
}

std::int32_t OptionWindow::SliderValue(const SliderDesign& design) const {
    return static_cast<std::int32_t>(::SendMessageW(Control(design.Id), TBM_GETPOS, 0, 0));
}

void OptionWindow::Load() {
    SetSliderValue(SldSecond, context_.State.UpdateSeconds);
    SetSliderValue(SldNum, context_.State.RowLimit);
    ::SetWindowTextW(Control(IdTxtPath), context_.State.LogFolder.c_str());
}

void OptionWindow::OnCmdSelect() {
    const std::wstring folder = LogFolderFromBrowser(context_.Browser.Browse(window_.Get(), BrowseTitle));
    if (!folder.empty()) {
        ::SetWindowTextW(Control(IdTxtPath), folder.c_str());
    }
}

void OptionWindow::OnCmdOk() {
    SharedState& state = context_.State;
    state.UpdateSeconds = SliderValue(SldSecond);
    state.RowLimit = SliderValue(SldNum);
    state.LogFolder = WindowText(Control(IdTxtPath));
    // Marked even when nothing changed: closing the program then asks whether to save.
    state.SettingsDirty = true;
    context_.TrimMonitorList();
    context_.Timer.SetIntervalMs(TimerIntervalMs(state.UpdateSeconds));
    closed_ = true;
}

// Neither button is the default or the cancel button, so Enter and Esc do nothing; Tab walks the focus
// order. The keys stay away from the controls too, where a text box would only beep at them.
bool OptionWindow::HandleDialogKey(const MSG& message) {
    const HWND window = window_.Get();
    if (message.message != WM_KEYDOWN || (message.hwnd != window && !::IsChild(window, message.hwnd))) {
        return false;
    }
    switch (message.wParam) {
    case VK_TAB:
        MoveFocus(::GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        return true;
    default:
        return false;
    }
}

void OptionWindow::MoveFocus(bool backwards) {
    const HWND window = window_.Get();
    const HWND focus = ::GetFocus();
    const HWND next = ::GetNextDlgTabItem(window, ::IsChild(window, focus) ? focus : nullptr, backwards);
    if (next == nullptr) {
        return;
    }
    ::SetFocus(next);
    if (next == Control(IdTxtPath)) {
        // As in any dialog, a text box reached with Tab has its whole text selected.
        ::SendMessageW(next, EM_SETSEL, 0, -1);
    }
}

void OptionWindow::RunModal() {
    if (!window_) {
        return;
    }
    {
        const ThreadWindowsDisabled otherWindows(window_.Get());
        ::ShowWindow(window_.Get(), SW_SHOWNORMAL);
        ::SetFocus(Control(IdCmdSelect));
        MSG message{};
        while (!closed_) {
            const BOOL received = ::GetMessageW(&message, nullptr, 0, 0);
            if (received <= 0) {
                // WM_QUIT belongs to the program's own loop, which ends the program.
                if (received == 0) {
                    ::PostQuitMessage(static_cast<int>(message.wParam));
                }
                break;
            }
            if (!HandleDialogKey(message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
    // The other windows are enabled again first, so that one of them, not another program, becomes active.
    window_.Reset();
}

LRESULT CALLBACK OptionWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<OptionWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT OptionWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case IdCmdSelect:
                OnCmdSelect();
                return 0;
            case IdCmdOk:
                OnCmdOk();
                return 0;
            case IdCmdCancel:
                closed_ = true;
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_ACTIVATE:
        // Focus comes back to the control that had it, as in any dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (::IsChild(window, focus)) {
                focusWhenInactive_ = focus;
            }
        } else if (focusWhenInactive_ != nullptr) {
            ::SetFocus(focusWhenInactive_);
        }
        return 0;
    case WM_CLOSE:
        closed_ = true;
        return 0;
    case WM_NCDESTROY:
        // Destroyed from outside, the dialog can no longer be waited for.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_.Release();
        closed_ = true;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void ShowOptionDialog(HINSTANCE instance, OptionDialogContext& context) {
    OptionWindow dialog(instance, context);
    dialog.RunModal();
}

} // namespace tarnwatch::ui
