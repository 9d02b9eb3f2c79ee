// Plays the user of the Options dialog from inside its own modal loop.
#pragma once

#include "dialogs/option_dialog.h"
#include "folder_browser.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwatch::ui {

// The dialog has no owner, so it is found among the thread's top-level windows.
inline HWND FindOptionDialog() {
    const HWND dialog = ::FindWindowW(OptionWindowClass, nullptr);
    return dialog != nullptr && ::GetWindowThreadProcessId(dialog, nullptr) == ::GetCurrentThreadId()
               ? dialog
               : nullptr;
}

using Step = std::function<void(HWND dialog)>;

// Plays the user from inside the dialog's own message loop: one step per tick of a thread timer.
// A dialog still open long after the last step is closed, and the test fails.
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

    bool GaveUp() const { return gaveUp_; }
    std::size_t StepsLeft() const { return steps_.size(); }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ != nullptr) {
            current_->Tick();
        }
    }

    void Tick() {
        const HWND dialog = FindOptionDialog();
        if (dialog == nullptr) {
            return;
        }
        if (!steps_.empty()) {
            const Step step = std::move(steps_.front());
            steps_.pop_front();
            step(dialog);
        } else if (++idleTicks_ == 200) {
            gaveUp_ = true;
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
    }

    static inline ScriptedUser* current_ = nullptr;
    std::deque<Step> steps_;
    UINT_PTR timer_ = 0;
    int idleTicks_ = 0;
    bool gaveUp_ = false;
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
    std::vector<std::wstring> Titles;

    std::wstring Browse(HWND owner, const std::wstring& title) override {
        Owners.push_back(owner);
        Titles.push_back(title);
        return Results.at(Owners.size() - 1);
    }
};

} // namespace tarnwatch::ui
