#include "platform/tray_icon.h"

#include "platform/callback_guard.h"

#include <commctrl.h>

#include <algorithm>

namespace tarnwatch::win {

namespace {

constexpr UINT_PTR TraySubclassId = 1;

// Sent to every top-level window when the shell has started again, with an empty notification area.
UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

} // namespace

bool ShellNotificationArea::Notify(DWORD action, const NOTIFYICONDATAW& icon) {
    NOTIFYICONDATAW copy = icon;
    return ::Shell_NotifyIconW(action, &copy) != FALSE;
}

bool TrayIcon::AddTrayIcon(HWND window, HMENU menu, HICON icon) {
    if (exists_) {
        return true;
    }
    if (!::SetWindowSubclass(window, &TrayWindowProc, TraySubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    data_ = NOTIFYICONDATAW{};
    data_.cbSize = sizeof(data_);
    data_.hWnd = window;
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON;
    data_.uCallbackMessage = CallbackMessage;
    data_.hIcon = icon;
    if (!area_.Notify(NIM_ADD, data_)) {
        ::RemoveWindowSubclass(window, &TrayWindowProc, TraySubclassId);
        return false;
    }
    menu_ = menu;
    exists_ = true;
    return true;
}

void TrayIcon::RemoveTrayIcon() {
    if (!exists_) {
        return;
    }
    data_.uFlags = 0;
    area_.Notify(NIM_DELETE, data_);
    ::RemoveWindowSubclass(data_.hWnd, &TrayWindowProc, TraySubclassId);
    exists_ = false;
}

void TrayIcon::SetTrayTip(const std::wstring& text) {
    if (!exists_) {
        return;
    }
    const std::size_t length = std::min(text.size(), std::size(data_.szTip) - 1);
    std::copy_n(text.begin(), length, data_.szTip);
    data_.szTip[length] = L'\0';
    data_.uFlags = NIF_TIP;
    area_.Notify(NIM_MODIFY, data_);
}

void TrayIcon::SetTrayIcon(HICON icon) {
    if (!exists_) {
        return;
    }
    data_.hIcon = icon;
    data_.uFlags = NIF_ICON;
    area_.Notify(NIM_MODIFY, data_);
}

LRESULT CALLBACK TrayIcon::TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
    auto& tray = *reinterpret_cast<TrayIcon*>(self);
    LRESULT result = 0;
    RunGuarded(tray.boxes_, [&] {
        if (message == CallbackMessage && (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP)) {
            tray.OnMouse(static_cast<UINT>(lParam));
            return;
        }
        if (message == TaskbarCreatedMessage()) {
            tray.OnShellRestarted();
        }
        result = ::DefSubclassProc(window, message, wParam, lParam);
    });
    return result;
}

// The restarted shell knows nothing of the icon: without it the hidden window could not be reached, so a
// shell that refuses it again gets the window shown instead.
void TrayIcon::OnShellRestarted() {
    NOTIFYICONDATAW again = data_;
    again.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (!area_.Notify(NIM_ADD, again)) {
        ::ShowWindow(data_.hWnd, SW_SHOW);
    }
}

void TrayIcon::OnMouse(UINT mouseMessage) {
    const HWND window = data_.hWnd;
    if (mouseMessage == WM_LBUTTONUP) {
        if (::IsWindowVisible(window)) {
            ::ShowWindow(window, SW_HIDE);
        } else {
            ::ShowWindow(window, SW_SHOW);
            ::SetForegroundWindow(window);
        }
        return;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // Without being the foreground window first, the menu would not close when the user clicks elsewhere;
    // the message after it lets the menu's own loop end cleanly.
    ::SetForegroundWindow(window);
    ::TrackPopupMenu(menu_, 0, cursor.x, cursor.y, 0, window, nullptr);
    ::PostMessageW(window, WM_NULL, 0, 0);
}

} // namespace tarnwatch::win
