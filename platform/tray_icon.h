// The icon in the notification area that stands for a hidden window, and the window procedure that
// answers its mouse notifications while it exists.
#pragma once

#include "engine/ports.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace tarnwatch::win {

// Shell_NotifyIconW behind an interface, so that tests see what the shell is told.
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // False when the shell refused.
    virtual bool Notify(DWORD action, const NOTIFYICONDATAW& icon) = 0;
};

class ShellNotificationArea final : public NotificationArea {
public:
    bool Notify(DWORD action, const NOTIFYICONDATAW& icon) override;
};

class TrayIcon {
public:
    // The icon's mouse notifications arrive as this message, the mouse message in lParam.
    static constexpr UINT CallbackMessage = 2025;

    // An exception in the window's handling while the icon exists is reported through boxes.
    TrayIcon(NotificationArea& area, MessageBoxes& boxes) : area_(area), boxes_(boxes) {}
    ~TrayIcon() { RemoveTrayIcon(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Installs the tray window procedure on the window and adds the icon, with no tooltip yet. Does
    // nothing while the icon exists, so the procedure is never installed twice. False, with nothing
    // changed, when the procedure cannot be installed or the shell refuses the icon: the window must then
    // not hide behind it.
    bool AddTrayIcon(HWND window, HMENU menu, HICON icon);
    // Deletes the icon and takes the procedure off the window again; nothing while there is no icon.
    void RemoveTrayIcon();
    void SetTrayTip(const std::wstring& text);
    void SetTrayIcon(HICON icon);

private:
    static LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR self);
    void OnMouse(UINT mouseMessage);
    void OnShellRestarted();

    NotificationArea& area_;
    MessageBoxes& boxes_;
    NOTIFYICONDATAW data_{};
    HMENU menu_ = nullptr;
    bool exists_ = false;
};

} // namespace tarnwatch::win
