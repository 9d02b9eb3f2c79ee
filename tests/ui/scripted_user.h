// Plays the user of a modal window from inside its own modal loop, and of the folder browser it opens.
#pragma once

#include "platform/folder_browser.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tarnwatch::ui {

using Step = std::function<void(HWND window)>;

// Plays the steps, one per tick of a thread timer, on the window of the class while open() runs. Checks made
// inside a step run for certain: this fails when the window closed before its last step. A window still open
// long after the last step is closed, so that the test fails instead of hanging.
inline void Play(const wchar_t* windowClass, std::deque<Step> steps, const std::function<void()>& open) {
    constexpr int GiveUpTicks = 200;
    static const wchar_t* played;
    static std::deque<Step> pending;
    static int idleTicks;
    played = windowClass;
    pending = std::move(steps);
    idleTicks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        // Modal windows have no owner, so they are found among the top-level windows.
        const HWND window = ::FindWindowW(played, nullptr);
        if (window == nullptr || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) {
            return;
        }
        if (!pending.empty()) {
            const Step step = std::move(pending.front());
            pending.pop_front();
            step(window);
        } else if (++idleTicks == GiveUpTicks) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
    });
    open();
    ::KillTimer(nullptr, timer);
    EXPECT_LT(idleTicks, GiveUpTicks) << "the window stayed open";
    EXPECT_TRUE(pending.empty()) << "the window closed early";
}

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
    std::array<wchar_t, 512> text{};
    ::GetDlgItemTextW(window, static_cast<int>(id), text.data(), static_cast<int>(text.size()));
    return text.data();
}

// A list view's column, top to bottom.
inline std::vector<std::wstring> ColumnTexts(HWND list, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        std::array<wchar_t, 512> text{};
        ListView_GetItemText(list, row, column, text.data(), static_cast<int>(text.size()));
        texts.emplace_back(text.data());
    }
    return texts;
}

// In the parent's client area, or on the screen for a window of its own.
inline RECT Bounds(HWND window) {
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    ::MapWindowPoints(nullptr, ::GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}
inline RECT ClientArea(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return client;
}

class FakeFolderBrowser final : public win::FolderBrowser {
public:
    std::vector<std::wstring> Results;
    std::vector<HWND> Owners;

    std::wstring Browse(HWND owner, const std::wstring&) override {
        Owners.push_back(owner);
        return Results.at(Owners.size() - 1);
    }
};

} // namespace tarnwatch::ui
