#include "ui/base/unexpected_error.h"

#include "platform/win_code_page.h"

#include <string>

namespace tarnwatch::ui {

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

void ReportUnexpectedError(MessageBoxes& boxes, const char* what) {
    if (boxOpen) {
        return;
    }
    const BoxOpen open;
    std::wstring text;
    win::WinAnsiCodePage().ToWide(what, text);
    try {
        boxes.Show(L"Tarnwatch met an unexpected error and goes on running:\r\n" + text,
                   L"corvin 's tarnwatch - Unexpected Error", BoxButtons::Ok, BoxIcon::Critical);
    } catch (...) {
        // Nothing is left to tell the user with; the program goes on all the same.
    }
}

} // namespace tarnwatch::ui
