// Plays the user of the Options dialog from inside its own modal loop.
#pragma once

#include "platform/folder_browser.h"
#include "ui/dialogs/option_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwatch::ui {

using Step = std::function<void(HWND dialog)>;

// One step per tick of a thread timer while the dialog is up. A dialog still open long after the last step
// is closed, so that a test fails instead of hanging.
class ScriptedUser {
public:
    explicit ScriptedUser(std::vector<Step> steps) : steps_(steps.begin(), steps.end()) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 10, &OnTick);
    }
    ~ScriptedUser() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    bool GaveUp() const { return idleTicks_ >= 200; }
    std::size_t StepsLeft() const { return steps_.size(); }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        // The dialog has no owner, so it is found among the thread's top-level windows.
        const HWND dialog = ::FindWindowW(OptionWindowClass, nullptr);
        if (current_ == nullptr || dialog == nullptr ||
            ::GetWindowThreadProcessId(dialog, nullptr) != ::GetCurrentThreadId()) {
            return;
        }
        if (!current_->steps_.empty()) {
            const Step step = std::move(current_->steps_.front());
            current_->steps_.pop_front();
            step(dialog);
        } else if (++current_->idleTicks_ == 200) {
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
    }

    static inline ScriptedUser* current_ = nullptr;
    std::deque<Step> steps_;
    UINT_PTR timer_ = 0;
    int idleTicks_ = 0;
};

inline Step Click(OptionControlId id) {
    return [id](HWND dialog) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}

inline Step CloseBox() {
    return [](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

// As a drag does: the thumb moves, then the dialog hears about it.
inline Step MoveSlider(OptionControlId id, int position) {
    return [id, position](HWND dialog) {
        const HWND slider = ::GetDlgItem(dialog, id);
        ::SendMessageW(slider, TBM_SETPOS, TRUE, position);
        ::SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                       reinterpret_cast<LPARAM>(slider));
    };
}

inline Step TypePath(std::wstring text) {
    return [text](HWND dialog) { ::SetWindowTextW(::GetDlgItem(dialog, IdTxtPath), text.c_str()); };
}

inline Step Focus(OptionControlId id) {
    return [id](HWND dialog) { ::SetFocus(::GetDlgItem(dialog, id)); };
}

// Posted like a real keystroke, so it passes through the dialog's message loop before the next step.
inline Step PressKey(UINT key) {
    return [key](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 0); };
}

inline std::wstring PathText(HWND dialog) {
    wchar_t text[MAX_PATH] = {};
    ::GetWindowTextW(::GetDlgItem(dialog, IdTxtPath), text, MAX_PATH);
    return text;
}

inline int SliderPosition(HWND dialog, OptionControlId id) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), TBM_GETPOS, 0, 0));
}

class FakeFolderBrowser final : public win::FolderBrowser {
public:
    std::vector<std::wstring> Results;
    std::vector<HWND> Owners;

    std::wstring Browse(HWND owner, const std::wstring& title) override {
        EXPECT_EQ(title, L"Select the Logfile Folder");
        Owners.push_back(owner);
        return Results.at(Owners.size() - 1);
    }
};

} // namespace tarnwatch::ui
