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

} // namespace

BoxAnswer WinMessageBoxes::Show(const std::wstring& text, const std::wstring& title, BoxButtons buttons,
                                BoxIcon icon) {
    switch (::MessageBoxW(owner_, text.c_str(), title.c_str(), ButtonFlags(buttons) | IconFlags(icon))) {
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
