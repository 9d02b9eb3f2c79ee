#include "platform/win_message_boxes.h"

namespace tarnwatch::win {

namespace {

UINT ButtonFlags(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::RetryCancel:
        return MB_RETRYCANCEL;
    case BoxButtons::YesNo:
        return MB_YESNO | MB_DEFBUTTON1;
    case BoxButtons::Ok:
        break;
    }
    return MB_OK;
}

UINT IconFlags(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case BoxIcon::Question:
        return MB_ICONQUESTION;
    case BoxIcon::Critical:
        break;
    }
    return MB_ICONERROR;
}

// A box that could not be shown counts as dismissed: Cancel or No where there is one.
BoxAnswer Dismissed(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::RetryCancel:
        return BoxAnswer::Cancel;
    case BoxButtons::YesNo:
        return BoxAnswer::No;
    case BoxButtons::Ok:
        break;
    }
    return BoxAnswer::Ok;
}

BOOL CALLBACK FindEnabledWindow(HWND window, LPARAM found) {
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

// While a modal window of the program is open, the owner takes no input; the box then belongs to the window
// that does, so that the modal window takes none either while the box is up.
HWND WinMessageBoxes::Owner() const {
    if (owner_ == nullptr || ::IsWindowEnabled(owner_)) {
        return owner_;
    }
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindEnabledWindow, reinterpret_cast<LPARAM>(&owner));
    }
    return owner != nullptr ? owner : owner_;
}

BoxAnswer WinMessageBoxes::Show(const std::wstring& text, const std::wstring& title, BoxButtons buttons,
                                BoxIcon icon) {
    switch (::MessageBoxW(Owner(), text.c_str(), title.c_str(), ButtonFlags(buttons) | IconFlags(icon))) {
    case IDOK:
        return BoxAnswer::Ok;
    case IDRETRY:
        return BoxAnswer::Retry;
    case IDCANCEL:
        return BoxAnswer::Cancel;
    case IDYES:
        return BoxAnswer::Yes;
    case IDNO:
        return BoxAnswer::No;
    default:
        return Dismissed(buttons);
    }
}

} // namespace tarnwatch::win
