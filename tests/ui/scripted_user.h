// Plays the user of a modal window from inside its own modal loop, and of the folder browser it opens.
#pragma once

#include "platform/folder_browser.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwatch::ui {

using Step = std::function<void(HWND window)>;

// One step per tick of a thread timer while a window of the class is up. A window still open long after the
// last step is closed, so that a test fails instead of hanging.
class ScriptedUser {
public:
    ScriptedUser(const wchar_t* windowClass, std::vector<Step> steps)
        : windowClass_(windowClass), steps_(steps.begin(), steps.end()) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 10, &OnTick);
    }
    ~ScriptedUser() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    bool GaveUp() const { return idleTicks_ >= GiveUpTicks; }
    std::size_t StepsLeft() const { return steps_.size(); }

private:
    static constexpr int GiveUpTicks = 200;

    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        // Modal windows have no owner, so they are found among the top-level windows.
        const HWND window = current_ == nullptr ? nullptr : ::FindWindowW(current_->windowClass_, nullptr);
        if (window == nullptr || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) {
            return;
        }
        if (!current_->steps_.empty()) {
            const Step step = std::move(current_->steps_.front());
            current_->steps_.pop_front();
            step(window);
        } else if (++current_->idleTicks_ == GiveUpTicks) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }

    static inline ScriptedUser* current_ = nullptr;
    const wchar_t* windowClass_;
    std::deque<Step> steps_;
    UINT_PTR timer_ = 0;
    int idleTicks_ = 0;
};

template <typename Id> HWND Item(HWND window, Id id) {
    return ::GetDlgItem(window, static_cast<int>(id));
}

template <typename Id> Step Click(Id id) {
    return [id](HWND window) { ::SendMessageW(Item(window, id), BM_CLICK, 0, 0); };
}

inline Step CloseBox() {
    return [](HWND window) { ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

// As a drag does: the thumb moves, then the window hears about it.
template <typename Id> Step MoveSlider(Id id, int position) {
    return [id, position](HWND window) {
        ::SendMessageW(Item(window, id), TBM_SETPOS, TRUE, position);
        ::SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                       reinterpret_cast<LPARAM>(Item(window, id)));
    };
}

// Text that arrives as a paste does, past any key filter.
template <typename Id> Step Paste(Id id, std::wstring text) {
    return [id, text](HWND window) { ::SetWindowTextW(Item(window, id), text.c_str()); };
}

// Posted like real keystrokes, so that they pass through the modal loop before the next step.
inline Step PressKey(UINT key) {
    return [key](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 0); };
}

template <typename Id> std::wstring TextOf(HWND window, Id id) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(Item(window, id))) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(Item(window, id), text.data(), static_cast<int>(text.size()))));
    return text;
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
