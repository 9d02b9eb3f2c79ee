#include "platform/twips.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

TEST_F(MainWindowTest, StartsAsADatedTallStripAtTheTopRightFilledByTheList) {
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
}

TEST_F(MainWindowTest, EachViewModeChecksOnlyItsEntryAndSetsItsWidthsKeepingEveryRow) {
    Start();
    AppendLog(Request("192.168.0.7", "/default.htm"));
    Tick();
    const int dpi = Dpi();
    const int list = Width(WindowRect(List()));
    const std::array<int, 4> standard{0, TwipsToPixels(1800, dpi), 0, list};
    struct Mode {
        UINT Command;
        std::array<int, 4> Widths;
    };
    EXPECT_TRUE(IsChecked(ui::mnuSta));
    EXPECT_EQ(ColumnWidths(), standard);
    for (const Mode& mode :
         {Mode{ui::mnuCom,
               {TwipsToPixels(1200, dpi), TwipsToPixels(1800, dpi), TwipsToPixels(720, dpi), list}},
          Mode{ui::mnuSim, {0, list, 0, 0}}, Mode{ui::mnuSta, standard}}) {
        Command(mode.Command);
        for (const UINT entry : {ui::mnuSim, ui::mnuSta, ui::mnuCom}) {
            EXPECT_EQ(IsChecked(entry), entry == mode.Command) << mode.Command << " " << entry;
        }
        EXPECT_EQ(ColumnWidths(), mode.Widths) << mode.Command;
        EXPECT_EQ(Urls(), std::vector<std::wstring>{L"/default.htm"});
    }
}

TEST_F(MainWindowTest, MinimizingLeavesTheLayoutAloneAndRestoringLaysItOutAgain) {
    Start();
    const RECT list = WindowRect(List());
    const auto standard = ColumnWidths();
    // Widths the user dragged by hand last until the next layout.
    ListView_SetColumnWidth(List(), 1, 77);

    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    EXPECT_EQ(ColumnWidths()[1], 77);
    const RECT minimized = WindowRect(List());
    EXPECT_EQ(Width(minimized), Width(list));
    EXPECT_EQ(Height(minimized), Height(list));

    ::ShowWindow(Window(), SW_RESTORE);
    EXPECT_EQ(ColumnWidths(), standard);
}

TEST_F(MainWindowTest, ANewDpiScalesColumnsAndHeight) {
    Start();
    RECT suggested = WindowRect(Window());
    suggested.right = suggested.left + Width(suggested) * 3 / 2;
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(ColumnWidths()[1], 180);
    const RECT window = WindowRect(Window());
    EXPECT_EQ(Height(window), ::GetSystemMetrics(SM_CYSCREEN) - 41);
    EXPECT_EQ(Width(window), Width(suggested));
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesTheCheckMarkAndTheTopmostBandOnly) {
    Start();
    const RECT before = WindowRect(Window());
    for (const bool onTop : {true, false}) {
        Command(ui::mnuTOp);
        EXPECT_EQ(IsChecked(ui::mnuTOp), onTop);
        EXPECT_EQ((::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
        const RECT after = WindowRect(Window());
        EXPECT_TRUE(::EqualRect(&before, &after));
    }
}

} // namespace
} // namespace tarnwatch::testing
