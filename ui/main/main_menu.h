// Menus built from one table of caption, command id and handler, which also runs the commands.
#pragma once

#include "platform/handles.h"

#include <windows.h>

#include <vector>

namespace tarnwatch::ui {

// One entry of a pop-up menu; an entry without a caption is a separator.
template <typename Handler> struct MenuEntry {
    const wchar_t* Caption = nullptr;
    UINT Command = 0;
    Handler Click = nullptr;
};

template <typename Handler> struct MenuPopup {
    const wchar_t* Caption = nullptr;
    std::vector<MenuEntry<Handler>> Entries;
};

// A menu holding the pop-ups; the window it is handed to destroys it with itself.
template <typename Handler> win::MenuHandle BuildMenu(const std::vector<MenuPopup<Handler>>& popups) {
    win::MenuHandle menu(::CreateMenu());
    for (const MenuPopup<Handler>& popup : popups) {
        const HMENU entries = ::CreatePopupMenu();
        for (const MenuEntry<Handler>& entry : popup.Entries) {
            if (entry.Caption == nullptr) {
                ::AppendMenuW(entries, MF_SEPARATOR, 0, nullptr);
            } else {
                ::AppendMenuW(entries, MF_STRING, entry.Command, entry.Caption);
            }
        }
        // From here on the menu destroys the pop-up with itself.
        ::AppendMenuW(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(entries), popup.Caption);
    }
    return menu;
}

// The handler of the command in the menu, or null.
template <typename Handler> Handler HandlerOf(const std::vector<MenuPopup<Handler>>& popups, UINT command) {
    for (const MenuPopup<Handler>& popup : popups) {
        for (const MenuEntry<Handler>& entry : popup.Entries) {
            if (entry.Caption != nullptr && entry.Command == command) {
                return entry.Click;
            }
        }
    }
    return nullptr;
}

} // namespace tarnwatch::ui
