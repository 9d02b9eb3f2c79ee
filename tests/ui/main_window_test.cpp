#include "engine/messages.h"
#include "platform/twips.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;
using OptionId = ui::FrmOption::Id;

TEST_F(MainWindowTest, AMissingLogEndsTheStartBeforeAWindowIsShownUnlessRetryFindsItWithTheOptions) {
    const std::wstring missing = LogFolderSetting() + L"missing\\" + TodaysLog().filename().wstring();
    WriteSettings(StartSettings{.LogFolder = LogFolderSetting() + L"missing\\"});
    WriteLog();
    boxes_.Answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(Load());
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::LogFileMissing(missing));
    EXPECT_EQ(::FindWindowW(ui::FrmMain::ClassName, nullptr), nullptr);

    boxes_ = ScriptedBoxes{};
    boxes_.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    // The first opening is cancelled and the search fails again; the second fixes the folder.
    const ui::ScriptedUser user(ui::FrmOption::ClassName, {ui::Click(OptionId::cmdCancel),
                                                           ui::Paste(OptionId::txtPath, LogFolderSetting()),
                                                           ui::Click(OptionId::cmdOk)});
    ASSERT_TRUE(Load());
    EXPECT_EQ(user.StepsLeft(), 0u);
    ASSERT_EQ(boxes_.Shown.size(), 2u);
    EXPECT_EQ(boxes_.Shown[1].Text, messages::LogFileMissing(missing));
    EXPECT_EQ(state_.LogFilePath, TodaysLog().wstring());
}

TEST_F(MainWindowTest, ClosingAsksToSaveOnlyUnsavedChangesAndWritesThemOnlyOnYes) {
    struct Case {
        bool SavedFirst;
        UINT Message;
        WPARAM Command;
        BoxAnswer Answer;
        std::int32_t SavedRowLimit;
    };
    for (const Case& test : {Case{false, WM_CLOSE, 0, BoxAnswer::Yes, 12},
                             Case{false, WM_COMMAND, ui::mnuTExit, BoxAnswer::No, 50},
                             Case{true, WM_COMMAND, ui::mnuExit, BoxAnswer::No, 12}}) {
        SCOPED_TRACE(::testing::Message()
                     << "saved first " << test.SavedFirst << ", message " << test.Message);
        boxes_ = ScriptedBoxes{};
        boxes_.Answers = {test.Answer};
        Start();
        state_.RowLimit = 12;
        state_.SettingsDirty = true;
        if (test.SavedFirst) {
            Command(ui::mnuSave);
        }
        const HWND window = Window();
        ::SendMessageW(window, test.Message, test.Command, 0);
        EXPECT_FALSE(::IsWindow(window));
        ASSERT_EQ(boxes_.Shown.size(), test.SavedFirst ? 0u : 1u) << "asked only while changes are unsaved";
        if (!test.SavedFirst) {
            EXPECT_EQ(boxes_.Shown[0].Text, messages::SaveQuestion);
            EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
        }
        SharedState saved;
        RecordingTimer timer;
        LoadSettings(saved, SettingsFile(), files_, codePage_, timer, boxes_);
        EXPECT_EQ(saved.RowLimit, test.SavedRowLimit);
    }
}

TEST_F(MainWindowTest, RequestsAppendedAfterTheStartBecomeRowsAtTheNextTickButFilteredAndTrimmed) {
    Start(StartSettings{
        .RowLimit = 3, .UpdateSeconds = 10, .FilterIps = {L"127.0.0.1", L"10.1.1.1"}, .LogFolder = {}});
    AppendLog(Request("127.0.0.1", "/local") + Request("192.168.0.7", "/1") +
              Request("10.1.1.1", "/filtered") + Request("10.1.1.10", "/2", "404"));
    EXPECT_TRUE(Urls().empty()) << "neither the old requests nor any read between ticks";
    Tick();
    ASSERT_EQ(Urls(), (std::vector<std::wstring>{L"/1", L"/2"}));
    EXPECT_FALSE(Cell(1, 0).empty()) << "time of reading";
    EXPECT_EQ(Cell(1, 1), L"10.1.1.10");
    EXPECT_EQ(Cell(1, 2), L"404");
    AppendLog(Request("192.168.0.3", "/3") + Request("192.168.0.4", "/4") + Request("192.168.0.5", "/5"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/3", L"/4", L"/5"})) << "only the newest rows";
}

TEST_F(MainWindowTest, TheTimerReadsTheLogByItself) {
    Start(StartSettings{.RowLimit = 50, .UpdateSeconds = 1, .LogFolder = {}});
    AppendLog(Request("192.168.0.7", "/by-timer.htm"));
    for (const ULONGLONG end = ::GetTickCount64() + 5000; Urls().empty() && ::GetTickCount64() < end;) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(Urls(), std::vector<std::wstring>{L"/by-timer.htm"});
}

TEST_F(MainWindowTest, SettingsFromTheMenuTrimTheListAndKeepPolling) {
    Start(StartSettings{.RowLimit = 10, .LogFolder = {}});
    AppendLog(Request("10.0.0.1", "/1") + Request("10.0.0.2", "/2") + Request("10.0.0.3", "/3"));
    Tick();
    const ui::ScriptedUser user(ui::FrmOption::ClassName,
                                {ui::MoveSlider(OptionId::sldNum, 2), ui::Click(OptionId::cmdOk)});
    Command(ui::mnuSet);
    EXPECT_EQ(user.StepsLeft(), 0u);
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/2", L"/3"}));
    AppendLog(Request("10.0.1.1", "/after"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/3", L"/after"}));
}

TEST_F(MainWindowTest, EachViewModeChecksOnlyItsEntryAndShowsItsColumnsTheLastFillingTheList) {
    Start();
    EXPECT_TRUE(IsChecked(ui::mnuSta)) << "starts in standard mode";
    const int list = Width(WindowRect(List()));
    struct Mode {
        UINT Command;
        std::array<bool, 4> Shown;
        std::size_t Filling;
    };
    for (const Mode& mode :
         {Mode{ui::mnuCom, {true, true, true, true}, 3}, Mode{ui::mnuSim, {false, true, false, false}, 1},
          Mode{ui::mnuSta, {false, true, false, true}, 3}}) {
        Command(mode.Command);
        for (const UINT entry : {ui::mnuSim, ui::mnuSta, ui::mnuCom}) {
            EXPECT_EQ(IsChecked(entry), entry == mode.Command)
                << "mode " << mode.Command << ", entry " << entry;
        }
        const std::array<int, 4> widths = ColumnWidths();
        for (std::size_t column = 0; column < widths.size(); ++column) {
            EXPECT_EQ(widths[column] > 0, mode.Shown[column])
                << "mode " << mode.Command << ", column " << column;
        }
        EXPECT_EQ(widths[mode.Filling], list) << "mode " << mode.Command;
    }
}

TEST_F(MainWindowTest, StartsAtTheTopRightFilledByTheListAndLaysItselfOutAgainOnlyWhenRestored) {
    Start();
    EXPECT_EQ(WindowRect(Window()).top, 0);
    EXPECT_EQ(WindowRect(Window()).right, ::GetSystemMetrics(SM_CXSCREEN) - TwipsToPixels(7, Dpi()));
    RECT client{};
    ::GetClientRect(Window(), &client);
    const RECT list = WindowRect(List());
    EXPECT_EQ(Width(list), client.right) << "the list fills the window";
    EXPECT_EQ(Height(list), client.bottom) << "the list fills the window";
    const int standard = ColumnWidths()[1];
    // Widths the user dragged by hand last until the next layout.
    ListView_SetColumnWidth(List(), 1, 77);
    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    EXPECT_EQ(ColumnWidths()[1], 77) << "nothing is laid out while minimized";
    EXPECT_EQ(Width(WindowRect(List())), Width(list));
    EXPECT_EQ(Height(WindowRect(List())), Height(list));
    ::ShowWindow(Window(), SW_RESTORE);
    EXPECT_EQ(ColumnWidths()[1], standard) << "laid out again once restored";
}

TEST_F(MainWindowTest, ANewDpiMovesTheWindowWhereSuggestedAndScalesColumnsAndHeightEvenAtTheSameSize) {
    Start();
    // Only moved, the window hears of no new size: the columns change all the same, since they are twips.
    RECT suggested = WindowRect(Window());
    ::OffsetRect(&suggested, -100, 0);
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ColumnWidths()[1], 180) << "1800 twips";
    EXPECT_EQ(Height(WindowRect(Window())), ::GetSystemMetrics(SM_CYSCREEN) - 41)
        << "408 twips short of the screen";
    EXPECT_EQ(WindowRect(Window()).left, suggested.left);
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesTheCheckMarkAndTheTopmostBandOnly) {
    Start();
    const RECT before = WindowRect(Window());
    for (const bool onTop : {true, false}) {
        Command(ui::mnuTOp);
        EXPECT_EQ(IsChecked(ui::mnuTOp), onTop);
        EXPECT_EQ((::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
        EXPECT_EQ(WindowRect(Window()).left, before.left) << "stays in place";
        EXPECT_EQ(Width(WindowRect(Window())), Width(before)) << "keeps its size";
    }
}

} // namespace
} // namespace tarnwatch::testing
