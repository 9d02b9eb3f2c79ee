#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "twips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

// A menu written out as "caption{entry|-|entry}caption{...}", "-" standing for a separator.
std::wstring Outline(HMENU menu) {
    std::wstring outline;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        std::array<wchar_t, 128> text{};
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
        item.dwTypeData = text.data();
        item.cch = static_cast<UINT>(text.size());
        ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
        if (!outline.empty() && outline.back() != L'}') {
            outline += L'|';
        }
        outline += (item.fType & MFT_SEPARATOR) != 0 ? L"-" : text.data();
        if (item.hSubMenu != nullptr) {
            outline += L'{' + Outline(item.hSubMenu) + L'}';
        }
    }
    return outline;
}

// The command ids of a menu's entries in menu order.
std::vector<UINT> Commands(HMENU menu) {
    std::vector<UINT> commands;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        if (const HMENU popup = ::GetSubMenu(menu, position); popup != nullptr) {
            const std::vector<UINT> inner = Commands(popup);
            commands.insert(commands.end(), inner.begin(), inner.end());
        } else if (::GetMenuItemID(menu, position) != 0) {
            commands.push_back(::GetMenuItemID(menu, position));
        }
    }
    return commands;
}

TEST_F(MainWindowTest, CaptionCarriesTheStartDate) {
    Start();
    std::array<wchar_t, 64> date{};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), 64, nullptr);
    std::array<wchar_t, 128> caption{};
    ::GetWindowTextW(Window(), caption.data(), 128);
    EXPECT_EQ(std::wstring(caption.data()), std::wstring(L"corvin 's tarnwatch   Today is ") + date.data());
}

TEST_F(MainWindowTest, StandsAtTheTopRightAsATallStripFilledByTheList) {
    Start();
    const int dpi = Dpi();
    const RECT window = WindowRect(Window());
    const RECT client = ClientRect(Window());
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, ::GetSystemMetrics(SM_CXSCREEN) - TwipsToPixels(7, dpi));
    EXPECT_EQ(client.right, TwipsToPixels(4980, dpi));
    EXPECT_EQ(window.bottom - window.top, ::GetSystemMetrics(SM_CYSCREEN) - TwipsToPixels(408, dpi));

    RECT list = WindowRect(List());
    ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_TRUE(::EqualRect(&list, &client));

    const LONG_PTR style = ::GetWindowLongPtrW(Window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME), WS_MINIMIZEBOX | WS_THICKFRAME);
}

TEST_F(MainWindowTest, MenuBarAndHiddenTrayMenuHoldTheirEntriesInOrder) {
    Start();
    EXPECT_EQ(Outline(::GetMenu(Window())),
              L"&File{&Save settings|-|E&xit tarnwatch}"
              L"&Options{&Settings|&Filtrate ip|&Sound Notify|-|&Minimize}"
              L"&View{&Simple mode|S&tandard mode|&Complete mode|-|&Alway on top}"
              L"&Help{&On Line help|&View LogFile|&Help Contents|-|&About tarnwatch}");
    EXPECT_EQ(Outline(frmMain_->TrayMenu()),
              L"Popup{&Show Tarnwatch|-|&Settings|&Filter IP|&Sound Notify|&About Tarnwatch|-|E&xit}");

    using namespace ui;
    const std::vector<UINT> bar = Commands(::GetMenu(Window()));
    EXPECT_EQ(bar, (std::vector<UINT>{mnuSave, mnuExit, mnuSet, mnuFilter, mnuNotify, mnuMin, mnuSim, mnuSta,
                                      mnuCom, mnuTOp, mnuLine, mnuLog, mnuCon, mnuAbout}));
    EXPECT_EQ(Commands(frmMain_->TrayMenu()),
              (std::vector<UINT>{mnuTShow, mnuTSet, mnuTFilter, mnuTNotify, mnuTAbout, mnuTExit}));
    for (const UINT command : bar) {
        const UINT state = ::GetMenuState(::GetMenu(Window()), command, MF_BYCOMMAND);
        EXPECT_EQ(state & (MF_CHECKED | MF_DISABLED), command == mnuSta ? MF_CHECKED : 0u) << command;
    }
}

TEST_F(MainWindowTest, ListIsAVirtualReportWithTheFourColumns) {
    Start();
    const LONG_PTR style = ::GetWindowLongPtrW(List(), GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_NE(style & LVS_OWNERDATA, 0);

    std::wstring columns;
    for (int index = 0; index < 4; ++index) {
        std::array<wchar_t, 64> text{};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = text.data();
        column.cchTextMax = 64;
        ListView_GetColumn(List(), index, &column);
        const int alignment = column.fmt & LVCFMT_JUSTIFYMASK;
        columns += std::wstring(text.data()) + (alignment == LVCFMT_CENTER ? L" (centre) " : L" (left) ");
    }
    EXPECT_EQ(columns, L"Local Time (left) Remote IP (centre) Status (centre) Url (left) ");
}

TEST_F(MainWindowTest, UsesTahomaAndTheYellowIconAndHidesTheTwoPictures) {
    Start();
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
    EXPECT_EQ(font.lfHeight, -static_cast<int>(9.75 * Dpi() / 72 + 0.5));
    EXPECT_NE(::GetClassLongPtrW(Window(), GCLP_HICON), 0);
    EXPECT_NE(::GetClassLongPtrW(Window(), GCLP_HICONSM), 0);

    std::vector<LRESULT> pictureIcons;
    for (HWND child = ::GetWindow(Window(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child != List() && (::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            EXPECT_FALSE(::IsWindowVisible(child));
            pictureIcons.push_back(::SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    ASSERT_EQ(pictureIcons.size(), 2u);
    EXPECT_NE(pictureIcons[0], 0);
    EXPECT_NE(pictureIcons[1], 0);
    EXPECT_NE(pictureIcons[0], pictureIcons[1]) << "yellow and blue are two icons";
}

} // namespace
} // namespace tarnwatch::testing
