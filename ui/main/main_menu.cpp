#include "ui/main/main_menu.h"

#include "ui/main/menu_ids.h"

#include <initializer_list>

namespace tarnwatch::ui {

namespace {

// A command of 0 stands for a separator.
struct MenuEntry {
    const wchar_t* Caption;
    UINT Command;
};

constexpr MenuEntry Separator{nullptr, 0};

void AppendPopup(HMENU owner, const wchar_t* caption, std::initializer_list<MenuEntry> entries) {
    const HMENU popup = ::CreatePopupMenu();
    for (const MenuEntry& entry : entries) {
        if (entry.Command == 0) {
            ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenuW(popup, MF_STRING, entry.Command, entry.Caption);
        }
    }
    // From here on the owner destroys the pop-up with itself.
    ::AppendMenuW(owner, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption);
}

} // namespace

win::MenuHandle BuildMenuBar() {
    win::MenuHandle bar(::CreateMenu());
    AppendPopup(bar.Get(), L"&File",
                {{L"&Save settings", mnuSave}, Separator, {L"E&xit tarnwatch", mnuExit}});
    AppendPopup(bar.Get(), L"&Options",
                {{L"&Settings", mnuSet},
                 {L"&Filtrate ip", mnuFilter},
                 {L"&Sound Notify", mnuNotify},
                 Separator,
                 {L"&Minimize", mnuMin}});
    AppendPopup(bar.Get(), L"&View",
                {{L"&Simple mode", mnuSim},
                 {L"S&tandard mode", mnuSta},
                 {L"&Complete mode", mnuCom},
                 Separator,
                 {L"&Alway on top", mnuTOp}});
    AppendPopup(bar.Get(), L"&Help",
                {{L"&On Line help", mnuLine},
                 {L"&View LogFile", mnuLog},
                 {L"&Help Contents", mnuCon},
                 Separator,
                 {L"&About tarnwatch", mnuAbout}});
    return bar;
}

win::MenuHandle BuildTrayMenu() {
    win::MenuHandle holder(::CreateMenu());
    AppendPopup(holder.Get(), L"Popup",
                {{L"&Show Tarnwatch", mnuTShow},
                 Separator,
                 {L"&Settings", mnuTSet},
                 {L"&Filter IP", mnuTFilter},
                 {L"&Sound Notify", mnuTNotify},
                 {L"&About Tarnwatch", mnuTAbout},
                 Separator,
                 {L"E&xit", mnuTExit}});
    return holder;
}

} // namespace tarnwatch::ui
