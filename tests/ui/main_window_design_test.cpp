#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "twips.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

// A menu written out as "caption{entry|-|entry}caption{...}", "-" standing for a separator.
std::wstring Outline(HMENU menu) {
    std::wstring outline;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        std::array<wchar_t, 128> text{};
        ::GetMenuStringW(menu, static_cast<UINT>(position), text.data(), 128, MF_BYPOSITION);
        const HMENU popup = ::GetSubMenu(menu, position);
        outline += std::wstring(position > 0 && outline.back() != L'}' ? L"|" : L"") +
                   (text[0] != 0 ? text.data() : L"-") +
                   (popup != nullptr ? L'{' + Outline(popup) + L'}' : L"");
    }
    return outline;
}

TEST_F(MainWindowTest, StartsAsADatedTallStripAtTheTopRightFilledByTheFourColumnList) {
    Start();
    std::array<wchar_t, 64> date{};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(), 64, nullptr);
    std::array<wchar_t, 128> caption{};
    ::GetWindowTextW(Window(), caption.data(), 128);
    EXPECT_EQ(std::wstring(caption.data()), std::wstring(L"corvin 's tarnwatch   Today is ") + date.data());

    const int dpi = Dpi();
    const RECT window = WindowRect(Window());
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, ::GetSystemMetrics(SM_CXSCREEN) - TwipsToPixels(7, dpi));
    EXPECT_EQ(Height(window), ::GetSystemMetrics(SM_CYSCREEN) - TwipsToPixels(408, dpi));
    RECT client{};
    ::GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(4980, dpi));
    RECT list = WindowRect(List());
    ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_TRUE(::EqualRect(&list, &client));

    std::wstring columns;
    for (int index = 0; index < 4; ++index) {
        std::array<wchar_t, 64> text{};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = text.data();
        column.cchTextMax = 64;
        ListView_GetColumn(List(), index, &column);
        columns +=
            text.data() +
            std::wstring((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? L" (centre) " : L" (left) ");
    }
    EXPECT_EQ(columns, L"Local Time (left) Remote IP (centre) Status (centre) Url (left) ");
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
}

} // namespace
} // namespace tarnwatch::testing
