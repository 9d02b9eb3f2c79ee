#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "twips.h"

#include <gtest/gtest.h>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

bool IsChecked(HWND window, UINT command) {
    return (::GetMenuState(::GetMenu(window), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class ViewModeTest : public MainWindowTest {
protected:
    int ListWidth() const { return WindowRect(List()).right - WindowRect(List()).left; }

    // Which of "&Simple mode", "S&tandard mode", "&Complete mode" carry a check mark.
    std::array<bool, 3> CheckMarks() const {
        return {IsChecked(Window(), ui::mnuSim), IsChecked(Window(), ui::mnuSta),
                IsChecked(Window(), ui::mnuCom)};
    }

    std::array<int, 4> Standard() const { return {0, TwipsToPixels(1800, Dpi()), 0, ListWidth()}; }
};

TEST_F(ViewModeTest, EachModeChecksOnlyItsEntryAndSetsItsWidthsKeepingEveryRow) {
    Start();
    EXPECT_EQ(frmMain_->ViewMode(), 2);
    EXPECT_EQ(CheckMarks(), (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(ColumnWidths(), Standard());
    AppendLog(Request("192.168.0.7", "/default.htm"));
    Tick();
    const auto rows = Rows();
    const int dpi = Dpi();

    Command(ui::mnuCom);
    EXPECT_EQ(frmMain_->ViewMode(), 3);
    EXPECT_EQ(CheckMarks(), (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(ColumnWidths(), (std::array<int, 4>{TwipsToPixels(1200, dpi), TwipsToPixels(1800, dpi),
                                                  TwipsToPixels(720, dpi), ListWidth()}));

    Command(ui::mnuSim);
    EXPECT_EQ(frmMain_->ViewMode(), 1);
    EXPECT_EQ(CheckMarks(), (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(ColumnWidths(), (std::array<int, 4>{0, ListWidth(), 0, 0}));
    EXPECT_EQ(Rows(), rows);

    Command(ui::mnuSta);
    EXPECT_EQ(CheckMarks(), (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(ColumnWidths(), Standard());
}

TEST_F(ViewModeTest, ResizingByTheBorderKeepsTheListFillingAndTheHeightFixed) {
    Start();
    const RECT before = WindowRect(Window());
    for (const int width : {500, 200}) {
        ::SetWindowPos(Window(), nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER);
        const RECT after = WindowRect(Window());
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.right - after.left, width);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top) << "the bottom border springs back";
        EXPECT_EQ(ListWidth(), ClientRect(Window()).right);
        EXPECT_EQ(ColumnWidths()[3], ListWidth());
    }
}

TEST_F(ViewModeTest, MinimizingLeavesTheLayoutAloneAndRestoringLaysItOutAgain) {
    Start();
    const RECT list = WindowRect(List());
    // Widths the user dragged by hand last until the next layout.
    ListView_SetColumnWidth(List(), 1, 77);

    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    EXPECT_EQ(ColumnWidths()[1], 77);
    const RECT minimized = WindowRect(List());
    EXPECT_EQ(minimized.right - minimized.left, list.right - list.left);
    EXPECT_EQ(minimized.bottom - minimized.top, list.bottom - list.top);

    ::ShowWindow(Window(), SW_RESTORE);
    EXPECT_EQ(ColumnWidths(), Standard());
}

TEST_F(ViewModeTest, ANewDpiScalesFontColumnsAndHeight) {
    Start();
    RECT suggested = WindowRect(Window());
    suggested.right = suggested.left + (suggested.right - suggested.left) * 3 / 2;
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(ColumnWidths()[1], 180);
    const RECT window = WindowRect(Window());
    EXPECT_EQ(window.bottom - window.top, ::GetSystemMetrics(SM_CYSCREEN) - 41);
    EXPECT_EQ(window.right - window.left, suggested.right - suggested.left);
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesTheCheckMarkAndTheTopmostBand) {
    Start();
    const auto isTopmost = [this] {
        return (::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    const RECT before = WindowRect(Window());
    EXPECT_FALSE(IsChecked(Window(), ui::mnuTOp) || isTopmost());

    Command(ui::mnuTOp);
    EXPECT_TRUE(IsChecked(Window(), ui::mnuTOp) && isTopmost());
    const RECT after = WindowRect(Window());
    EXPECT_TRUE(::EqualRect(&before, &after)) << "only the stacking order changes";

    Command(ui::mnuTOp);
    EXPECT_FALSE(IsChecked(Window(), ui::mnuTOp) || isTopmost());
}

} // namespace
} // namespace tarnwatch::testing
