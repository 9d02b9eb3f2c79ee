#include "ui/base/modal_loop.h"

#include "platform/callback_guard.h"

#include <vector>

namespace tarnwatch::ui {

namespace {

class ThreadWindowsDisabled {
public:
    ThreadWindowsDisabled(HWND modal, MessageBoxes& boxes) : modal_(modal), boxes_(boxes) {
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
    // A failure ends the walk: the windows collected so far are disabled, the others stay usable.
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto& disabler = *reinterpret_cast<ThreadWindowsDisabled*>(self);
        return win::RunGuarded(disabler.boxes_, [&] {
            if (window != disabler.modal_ && ::IsWindowEnabled(window)) {
                disabler.disabled_.push_back(window);
            }
        });
    }

    HWND modal_;
    MessageBoxes& boxes_;
    std::vector<HWND> disabled_;
};

bool IsEnterOrEsc(HWND window, const MSG& message) {
    return message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
           (message.hwnd == window || ::IsChild(window, message.hwnd));
}

} // namespace

void RunModalLoop(HWND window, const bool& done, bool bindsEnterAndEsc, MessageBoxes& boxes) {
    const ThreadWindowsDisabled otherWindows(window, boxes);
    MSG message{};
    while (!done && ::IsWindow(window)) {
        const BOOL received = ::GetMessageW(&message, nullptr, 0, 0);
        if (received <= 0) {
            // WM_QUIT belongs to the program's own loop, which ends the program.
            if (received == 0) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
            }
            return;
        }
        if (!bindsEnterAndEsc && IsEnterOrEsc(window, message)) {
            continue;
        }
        // Tab walks the controls; bound, Enter and Esc arrive as commands IDOK and IDCANCEL.
        if (!::IsDialogMessageW(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace tarnwatch::ui
