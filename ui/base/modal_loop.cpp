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

bool IsFocusedPushButton(HWND window, const MSG& message) {
    constexpr LRESULT PushButton = DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON;
    return message.hwnd == ::GetFocus() && ::IsChild(window, message.hwnd) &&
           (::SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0) & PushButton) != 0;
}

} // namespace

void RunModalLoop(HWND window, const bool& done, MessageBoxes& boxes) {
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
        // The dialog manager presses only a default button with Enter; the program's windows have none, and
        // a Windows user expects the focused button to be pressed, as Space does.
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
            IsFocusedPushButton(window, message)) {
            ::SendMessageW(::GetParent(message.hwnd), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(message.hwnd), BN_CLICKED),
                           reinterpret_cast<LPARAM>(message.hwnd));
            continue;
        }
        // Tab walks the controls; Enter and Esc arrive as the commands IDOK and IDCANCEL.
        if (!::IsDialogMessageW(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace tarnwatch::ui
