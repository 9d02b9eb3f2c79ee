#include "ui/base/window.h"

#include "platform/callback_guard.h"
#include "platform/dpi.h"
#include "platform/system_error.h"
#include "platform/twips.h"
#include "platform/window_frame.h"
#include "ui/base/modal_loop.h"
#include "ui/base/program_look.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace tarnwatch::ui {

namespace {

// The icons are the window's own, sized for its DPI: a class has one icon for every screen.
void RegisterOnce(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (::GetClassInfoExW(instance, className, &windowClass)) {
        return;
    }
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = className;
    if (::RegisterClassExW(&windowClass) == 0) {
        const DWORD error = ::GetLastError();
        throw win::WindowsError(std::wstring(L"Cannot register the window class ") + className, error);
    }
}

// What a window procedure answers when its handler failed: creation fails, anything else counts as handled.
LRESULT FailedAnswer(UINT message) {
    switch (message) {
    case WM_NCCREATE:
        return FALSE;
    case WM_CREATE:
        return -1;
    default:
        return 0;
    }
}

bool IsCreation(UINT message) {
    return message == WM_NCCREATE || message == WM_CREATE;
}

HWND openModalWindow = nullptr;

} // namespace

HWND Window::OpenModalWindow() {
    return openModalWindow;
}

Window::~Window() {
    if (window_) {
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
    }
    window_.Reset();
}

int Window::Pixels(int twips) const {
    return win::TwipsToPixels(twips, dpi_);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

bool Window::Create(HINSTANCE instance, const WindowDesign& design, HMENU menu) {
    // The controls of every window come from common controls 6; registering their classes once is enough.
    static const bool commonControls = [] {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                           ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    static_cast<void>(commonControls);
    design_ = design;
    RegisterOnce(instance, design.ClassName, &Window::Procedure);
    creationRefused_ = false;
    const HWND created =
        ::CreateWindowExW(design.ExStyle, design.ClassName, design.Caption, design.Style, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance, this);
    if (created == nullptr) {
        if (creationRefused_) {
            return false;
        }
        const DWORD error = ::GetLastError();
        throw win::WindowsError(std::wstring(L"Cannot create the window \"") + design.Caption + L"\"", error);
    }
    SetIcons();
    if (design.ClientWidthTwips > 0) {
        RECT bounds{};
        ::GetWindowRect(Handle(), &bounds);
        SetDesignClientSize(POINT{bounds.left, bounds.top});
    }
    return true;
}

HINSTANCE Window::Instance() const {
    return reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(Handle(), GWLP_HINSTANCE));
}

HWND Window::AddControl(const ControlDesign& design) {
    const HWND control =
        ::CreateWindowExW(design.ExStyle, design.ClassName, design.Text, design.Style, 0, 0, 0, 0, Handle(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.Id)), Instance(), nullptr);
    if (control == nullptr) {
        const DWORD error = ::GetLastError();
        throw win::WindowsError(std::wstring(L"Cannot create a control of the class ") + design.ClassName,
                                error);
    }
    PlaceControl(control, design.Rect, design.Bold);
    return control;
}

void Window::PlaceControl(HWND control, const TwipsRect& rect, bool bold) {
    controls_.push_back({control, rect, bold});
    Place(controls_.back());
}

void Window::Place(const PlacedControl& placed) {
    // Both edges are rounded, not the width, so that controls designed to line up still do.
    const int left = Pixels(placed.Rect.Left);
    const int top = Pixels(placed.Rect.Top);
    ::SetWindowPos(placed.Control, nullptr, left, top, Pixels(placed.Rect.Left + placed.Rect.Width) - left,
                   Pixels(placed.Rect.Top + placed.Rect.Height) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(placed.Control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(placed.Bold)), FALSE);
}

HFONT Window::Font(bool bold) {
    win::FontHandle& font = bold ? boldFont_ : font_;
    if (!font) {
        font = CreateProgramFont(dpi_, bold);
    }
    return font.Get();
}

void Window::SetDesignClientSize(POINT topLeft) {
    const SIZE wanted{Pixels(design_.ClientWidthTwips), Pixels(design_.ClientHeightTwips)};
    SIZE outer =
        win::OuterSizeForClient(wanted, design_.Style, design_.ExStyle, ::GetMenu(Handle()) != nullptr, dpi_);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ::SetWindowPos(Handle(), nullptr, topLeft.x, topLeft.y, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        // The frame the system really draws can differ from the computed one, as when the caption keeps the
        // size of the DPI the system started with: make up the difference once.
        RECT client{};
        ::GetClientRect(Handle(), &client);
        if (client.right == wanted.cx && client.bottom == wanted.cy) {
            return;
        }
        outer.cx += wanted.cx - client.right;
        outer.cy += wanted.cy - client.bottom;
    }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && modalRunning_) {
        // The run destroys the window once the others are enabled again.
        EndModal();
        return 0;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.Reset(window);
        self->dpi_ = win::WindowDpi(window);
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window is gone: nothing is left to destroy, and a modal run has nothing left to wait for.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.Release();
        self->modalDone_ = true;
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        win::RunGuarded(self->boxes_, [self] { self->Destroyed(); });
        return result;
    }
    LRESULT result = 0;
    const bool handled = win::RunGuarded(
        self->boxes_, [&] { result = self->BaseHandleMessage(message, wParam, lParam); },
        IsCreation(message) ? win::AfterError::WindowNotOpened : win::AfterError::GoesOn);
    if (handled && !(message == WM_CREATE && result == -1)) {
        return result;
    }
    // The window's handlers have had their say, reported or refused on purpose: its creation fails quietly.
    if (IsCreation(message)) {
        self->creationRefused_ = true;
    }
    return FailedAnswer(message);
}

LRESULT Window::BaseHandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_NEXTDLGCTL:
        // Sent by the dialog manager for Tab when the window is not a dialog of its own.
        if (LOWORD(lParam) == FALSE) {
            MoveFocus(wParam != 0);
        }
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        DpiChanged();
        return 0;
    default:
        return HandleMessage(message, wParam, lParam);
    }
}

// The focus comes back to the control that had it when the window was last active, as in any dialog.
void Window::OnActivate(bool active) {
    if (!active) {
        const HWND focus = ::GetFocus();
        if (::IsChild(Handle(), focus)) {
            focusWhenInactive_ = focus;
        }
        return;
    }
    if (!::IsWindow(focusWhenInactive_) || !::IsChild(Handle(), focusWhenInactive_)) {
        focusWhenInactive_ = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    }
    ::SetFocus(focusWhenInactive_ != nullptr ? focusWhenInactive_ : Handle());
}

void Window::MoveFocus(bool backwards) {
    const HWND focus = ::GetFocus();
    const HWND next = ::GetNextDlgTabItem(Handle(), ::IsChild(Handle(), focus) ? focus : nullptr, backwards);
    if (next == nullptr) {
        return;
    }
    ::SetFocus(next);
    // A text box reached with Tab has its whole text selected.
    if ((::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
        ::SendMessageW(next, EM_SETSEL, 0, -1);
    }
}

void Window::SetIcons() {
    const HINSTANCE instance = Instance();
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadProgramIcon(instance, ProgramIcon::Yellow,
                                                            win::SystemMetricForDpi(SM_CXICON, dpi_))));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(LoadProgramIcon(instance, ProgramIcon::Yellow,
                                                            win::SystemMetricForDpi(SM_CXSMICON, dpi_))));
}

void Window::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetIcons();
    // The old fonts go only once no control uses them any more.
    win::FontHandle oldFont = std::move(font_);
    win::FontHandle oldBoldFont = std::move(boldFont_);
    for (const PlacedControl& placed : controls_) {
        Place(placed);
    }
    if (design_.ClientWidthTwips > 0) {
        SetDesignClientSize(POINT{suggested.left, suggested.top});
    } else {
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Window::ShowModal(HINSTANCE instance, const WindowDesign& design) {
    if (Create(instance, design)) {
        RunModal();
    }
}

void Window::SpanScreenHeightLess(int shortfallTwips) {
    RECT bounds{};
    ::GetWindowRect(Handle(), &bounds);
    const RECT monitor = win::WindowMonitor(Handle()).Whole;
    const int height = monitor.bottom - monitor.top - Pixels(shortfallTwips);
    if (bounds.bottom - bounds.top != height) {
        // A resize handler that calls this comes back here once more from within; that run finds the height
        // right.
        ::SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::RunModal() {
    if (!window_) {
        return;
    }
    const HWND activeBefore = ::GetActiveWindow();
    const HWND focusBefore = ::GetFocus();
    const HWND outerModalWindow = std::exchange(openModalWindow, Handle());
    modalRunning_ = true;
    modalDone_ = false;
    ::ShowWindow(Handle(), SW_SHOWNORMAL);
    OnActivate(true);
    RunModalLoop(Handle(), modalDone_, boxes_);
    modalRunning_ = false;
    openModalWindow = outerModalWindow;
    Destroy();
    if (::IsWindow(activeBefore) && ::IsWindowVisible(activeBefore)) {
        ::SetActiveWindow(activeBefore);
    }
    if (::IsWindow(focusBefore) && ::IsWindowVisible(focusBefore)) {
        ::SetFocus(focusBefore);
    }
}

} // namespace tarnwatch::ui
