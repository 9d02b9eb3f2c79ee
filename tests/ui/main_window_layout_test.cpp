#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "twips.h"

#include <gtest/gtest.h>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

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

TEST_F(MainWindowTest, ANewDpiScalesFontColumnsAndHeight) {
    Start();
    RECT suggested = WindowRect(Window());
    suggested.right = suggested.left + Width(suggested) * 3 / 2;
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
    EXPECT_EQ(font.lfHeight, -20);
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
