#include "platform/callback_guard.h"

#include "platform/win_code_page.h"

#include <string>

namespace tarnwatch::win {

namespace {

bool boxOpen = false;

class BoxOpen {
public:
    BoxOpen() { boxOpen = true; }
    ~BoxOpen() { boxOpen = false; }
    BoxOpen(const BoxOpen&) = delete;
    BoxOpen& operator=(const BoxOpen&) = delete;
};

} // namespace

void ReportUnexpectedError(MessageBoxes& boxes, const char* what, AfterError after) {
    if (boxOpen) {
        return;
    }
    const BoxOpen open;
    try {
        std::wstring text;
        WinAnsiCodePage().ToWide(what, text);
        const wchar_t* const outcome =
            after == AfterError::GoesOn
                ? L"Tarnwatch met an unexpected error and goes on running:\r\n"
                : L"Tarnwatch met an unexpected error and could not open a window:\r\n";
        boxes.Show(outcome + text, L"corvin 's tarnwatch - Unexpected Error", BoxButtons::Ok,
                   BoxIcon::Critical);
    } catch (...) {
        // Nothing is left to tell the user with; the program goes on all the same.
    }
}

} // namespace tarnwatch::win
