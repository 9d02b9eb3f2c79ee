#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/system_error.h"
#include "platform/twips.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;
using OptionId = ui::FrmOption::Id;
using Texts = std::vector<std::wstring>;

TEST_F(MainWindowTest, AMissingLogEndsTheStartBeforeAWindowIsShownUnlessRetryFindsItWithTheOptions) {
    const std::wstring missingFolder = LogFolderSetting() + L"missing\\";
    WriteSettings(StartSettings{.LogFolder = missingFolder});
    WriteLog();
    EXPECT_FALSE(Load()) << "the box was cancelled";
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text,
              messages::LogFileMissing(missingFolder + TodaysLog().filename().wstring()));
    EXPECT_EQ(::FindWindowW(ui::FrmMain::ClassName, nullptr), nullptr);

    boxes_.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    bool loaded = false;
    // The first opening is cancelled and the search fails again; the second fixes the folder.
    ui::Play(ui::FrmOption::ClassName,
             {ui::Click(OptionId::cmdCancel), ui::Paste(OptionId::txtPath, LogFolderSetting()),
              ui::Click(OptionId::cmdOk)},
             [&] { loaded = Load(); });
    EXPECT_TRUE(loaded);
    EXPECT_EQ(boxes_.Shown.size(), 3u) << "a box for each failed search";
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
                     << "saved first " << test.SavedFirst << ", command " << test.Command);
        boxes_ = ScriptedBoxes{};
        boxes_.Answers = {test.Answer};
        Start();
        state_.RowLimit = 12;
        state_.SettingsDirty = true;
        if (test.SavedFirst) {
            Command(ui::mnuSave);
        }
        const bool fromTray = test.Command == ui::mnuTExit;
        if (fromTray) {
            Command(ui::mnuMin);
        }
        const HWND window = Window();
        ::SendMessageW(window, test.Message, test.Command, 0);
        EXPECT_FALSE(::IsWindow(window));
        if (fromTray) {
            EXPECT_EQ(shell_.Calls.back().Action, static_cast<DWORD>(NIM_DELETE)) << "the icon goes first";
            EXPECT_FALSE(state_.InTray);
        }
        ASSERT_EQ(boxes_.Shown.size(), test.SavedFirst ? 0u : 1u) << "asked only while changes are unsaved";
        if (!test.SavedFirst) {
            EXPECT_EQ(boxes_.Shown[0].Text, messages::SaveQuestion);
            EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
        }
        EXPECT_EQ(SavedSettings().RowLimit, test.SavedRowLimit);
    }
}

// Rows, filtering and the row limit are seen from outside the exe; a lower limit from the Options is not.
TEST_F(MainWindowTest, ALowerLimitFromTheOptionsTrimsTheListAtOnceAndThePassesKeepToIt) {
    Start(StartSettings{.RowLimit = 3, .FilterIps = {L"127.0.0.1"}, .LogFolder = {}});
    AppendLog(Request("192.168.0.3", "/3") + Request("192.168.0.4", "/4") + Request("192.168.0.5", "/5"));
    Tick();
    ASSERT_EQ(Urls(), (Texts{L"/3", L"/4", L"/5"}));
    ui::Play(ui::FrmOption::ClassName, {ui::MoveSlider(OptionId::sldNum, 2), ui::Click(OptionId::cmdOk)},
             [&] { Command(ui::mnuSet); });
    EXPECT_EQ(Urls(), (Texts{L"/4", L"/5"})) << "at once";
    AppendLog(Request("10.0.1.1", "/after"));
    Tick();
    EXPECT_EQ(Urls(), (Texts{L"/5", L"/after"})) << "and the passes keep to it";
}

TEST_F(MainWindowTest, TheTimerReadsTheLogByItself) {
    Start(StartSettings{.UpdateSeconds = 1, .LogFolder = {}});
    AppendLog(Request("192.168.0.7", "/by-timer.htm"));
    for (const ULONGLONG end = ::GetTickCount64() + 5000; Urls().empty() && ::GetTickCount64() < end;) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(Urls(), Texts{L"/by-timer.htm"});
}

TEST_F(MainWindowTest,
       EachViewModeShowsItsColumnsTheLastFillingTheListAndAlwaysOnTopTogglesTheTopmostBandOnly) {
    Start();
    EXPECT_TRUE(IsChecked(ui::mnuSta)) << "starts in standard mode";
    const int list = Width(WindowRect(List()));
    struct Mode {
        UINT Command;
        std::array<bool, 4> Shown;
        int Filling;
    };
    for (const Mode& mode :
         {Mode{ui::mnuCom, {true, true, true, true}, 3}, Mode{ui::mnuSim, {false, true, false, false}, 1},
          Mode{ui::mnuSta, {false, true, false, true}, 3}}) {
        SCOPED_TRACE(::testing::Message() << "mode " << mode.Command);
        Command(mode.Command);
        for (const UINT entry : {ui::mnuSim, ui::mnuSta, ui::mnuCom}) {
            EXPECT_EQ(IsChecked(entry), entry == mode.Command) << "entry " << entry;
        }
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(ColumnWidth(column) > 0, mode.Shown[static_cast<std::size_t>(column)])
                << "column " << column;
        }
        EXPECT_EQ(ColumnWidth(mode.Filling), list);
    }

    const RECT before = WindowRect(Window());
    for (const bool onTop : {true, false}) {
        Command(ui::mnuTOp);
        EXPECT_EQ(IsChecked(ui::mnuTOp), onTop);
        EXPECT_EQ((::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
        EXPECT_EQ(WindowRect(Window()).left, before.left) << "stays in place";
        EXPECT_EQ(Width(WindowRect(Window())), Width(before)) << "keeps its size";
    }
}

TEST_F(MainWindowTest, StartsAtTheTopRightFilledByTheListAndLaysItselfOutAgainWhenRestoredOrAtANewDpi) {
    Start();
    EXPECT_EQ(WindowRect(Window()).top, 0);
    EXPECT_EQ(WindowRect(Window()).right,
              ::GetSystemMetrics(SM_CXSCREEN) - TwipsToPixels(7, win::WindowDpi(Window())));
    RECT client{};
    ::GetClientRect(Window(), &client);
    const RECT list = WindowRect(List());
    EXPECT_EQ(Width(list), client.right) << "the list fills the window";
    EXPECT_EQ(Height(list), client.bottom) << "the list fills the window";
    const int standard = ColumnWidth(1);
    // Widths the user dragged by hand last until the next layout.
    ListView_SetColumnWidth(List(), 1, 77);
    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    EXPECT_EQ(ColumnWidth(1), 77) << "nothing is laid out while minimized";
    EXPECT_EQ(Width(WindowRect(List())), Width(list));
    EXPECT_EQ(Height(WindowRect(List())), Height(list));
    ::ShowWindow(Window(), SW_RESTORE);
    EXPECT_EQ(ColumnWidth(1), standard) << "laid out again once restored";

    // Only moved, the window hears of no new size: the columns change all the same, since they are twips.
    RECT suggested = WindowRect(Window());
    ::OffsetRect(&suggested, -100, 0);
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ColumnWidth(1), 180) << "1800 twips at 144 DPI, with no new size";
    EXPECT_EQ(Height(WindowRect(Window())), ::GetSystemMetrics(SM_CYSCREEN) - 41)
        << "408 twips short of the screen";
    EXPECT_EQ(WindowRect(Window()).left, suggested.left);
}

TEST_F(MainWindowTest, BothFilterEntriesOpenTheDialogAndTheMonitorKeepsItsListUntilOk) {
    using FilterId = ui::FrmFilter::Id;
    Start(StartSettings{.FilterIps = {L"010.0.0.1"}, .LogFolder = {}});
    Texts shown;
    for (const std::string address : {"10.0.0.7", "10.0.0.8"}) {
        const UINT entry = address == "10.0.0.7" ? ui::mnuFilter : ui::mnuTFilter;
        SCOPED_TRACE(entry);
        const ui::Step addAndPoll = [&](HWND) {
            AppendLog(Request(address, "/while-open"));
            Tick();
        };
        ui::Play(ui::FrmFilter::ClassName,
                 {ui::Paste(FilterId::txtIp, std::wstring(address.begin(), address.end())),
                  ui::Click(FilterId::cmdAdd), addAndPoll, ui::Click(FilterId::cmdOk)},
                 [&] { Command(entry); });
        AppendLog(Request(address, "/after-ok"));
        Tick();
        shown.push_back(L"/while-open");
        EXPECT_EQ(Urls(), shown) << "only the confirmed list filters";
    }
    Command(ui::mnuSave);
    EXPECT_EQ(SavedSettings().FilterIps, (Texts{L"010.0.0.1", L"10.0.0.7", L"10.0.0.8"}))
        << "a loaded entry goes back as it was written";
}

// The codes themselves are read from outside the exe; here, that reopening adds none and how the window keeps
// its shape, measured against itself rather than against the design's numbers.
TEST_F(MainWindowTest, TheHelpWindowListsItsCodesOnceKeepsItsHeightAndFitsTheStatusColumn) {
    Start();
    int codes = -1;
    for (const bool closeFirst : {false, false, true}) {
        if (closeFirst) {
            ::SendMessageW(Help(), WM_CLOSE, 0, 0);
            ASSERT_EQ(Help(), nullptr);
        }
        Command(ui::mnuCon);
        ASSERT_TRUE(::IsWindowVisible(Help()));
        codes = codes < 0 ? ListView_GetItemCount(HelpList()) : codes;
        EXPECT_EQ(ListView_GetItemCount(HelpList()), codes);
    }
    EXPECT_GT(codes, 0);
    EXPECT_EQ(WindowRect(Help()).left, 0);
    EXPECT_EQ(WindowRect(Help()).top, 0);

    // At 144 DPI the code column and the gap are wider than the narrowest window the system allows.
    RECT suggested = WindowRect(Help());
    ::SendMessageW(Help(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const int height = Height(WindowRect(Help()));
    const int codeColumn = ListView_GetColumnWidth(HelpList(), 0);
    RECT client{};
    ::GetClientRect(Help(), &client);
    const int statusGap = client.right - codeColumn - ListView_GetColumnWidth(HelpList(), 1);
    EXPECT_GT(statusGap, 0);
    // One pixel short of the code column and the gap, where a status width of -1 would fit it to its texts.
    const int narrow = Width(WindowRect(Help())) - client.right + codeColumn + statusGap - 1;
    for (const int width : {300, narrow}) {
        SCOPED_TRACE(width);
        ::SetWindowPos(Help(), nullptr, 0, 0, width, 200, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(Height(WindowRect(Help())), height) << "the height springs back";
        ::GetClientRect(Help(), &client);
        EXPECT_EQ(Width(WindowRect(HelpList())), client.right) << "the list fills the window";
        EXPECT_EQ(ListView_GetColumnWidth(HelpList(), 0), codeColumn);
        EXPECT_EQ(ListView_GetColumnWidth(HelpList(), 1),
                  width == narrow ? 0 : client.right - codeColumn - statusGap);
    }
}

TEST_F(MainWindowTest, TheAboutBoxShowsTheSameTextsEachTimeAndFromTheTrayLeavesTheWindowHidden) {
    using AboutId = ui::FrmAbout::Id;
    Start();
    std::vector<std::wstring> texts;
    const auto readAndClose = [&](bool mainWindowShown) {
        return std::vector<ui::Step>{[&, mainWindowShown](HWND about) {
                                         texts.push_back(ui::TextOf(about, AboutId::Label1) + L"|" +
                                                         ui::TextOf(about, AboutId::Label2));
                                         EXPECT_NE(ui::TextOf(about, AboutId::Label1).find(L"Tarnwatch"),
                                                   std::wstring::npos);
                                         EXPECT_EQ(::IsWindowVisible(Window()) != FALSE, mainWindowShown)
                                             << "the main window while the box is up";
                                     },
                                     ui::Click(AboutId::Command1)};
    };
    ui::Play(ui::FrmAbout::ClassName, readAndClose(true), [&] { Command(ui::mnuAbout); });
    Command(ui::mnuMin);
    ui::Play(ui::FrmAbout::ClassName, readAndClose(false), [&] { Command(ui::mnuTAbout); });
    EXPECT_FALSE(::IsWindowVisible(Window())) << "not even once the box has closed";
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], texts[1]);
}

TEST_F(MainWindowTest, OnlineHelpAndTheLogViewerOpenOnlyWhatTheyMayAndRefuseTheRest) {
    Start();
    Command(ui::mnuLine);
    const std::wstring log = state_.LogFilePath;
    std::filesystem::resize_file(TodaysLog(), 104857600);
    Command(ui::mnuLog);
    EXPECT_EQ(opener_.Targets, (Texts{L"http://www.example.org/url/message/message.asp", log}));

    std::filesystem::resize_file(TodaysLog(), 104857601);
    Command(ui::mnuLog);
    {
        const win::FileHandle heldAlone(::CreateFileW(TodaysLog().c_str(), GENERIC_READ, 0, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(heldAlone);
        Command(ui::mnuLog);
    }
    std::filesystem::remove(TodaysLog());
    Command(ui::mnuLog);
    EXPECT_EQ(opener_.Targets.size(), 2u) << "nothing more was opened";
    ASSERT_EQ(boxes_.Shown.size(), 3u);
    EXPECT_EQ(boxes_.Shown[0].Text, L"File -> " + log + L"\r\nIs Biger then 100M, Please Backup It First!!!");
    EXPECT_EQ(boxes_.Shown[1].Text,
              messages::LogNotOpened(log, win::SystemErrorText(ERROR_SHARING_VIOLATION)))
        << "there, but held by another program";
    EXPECT_EQ(boxes_.Shown[2].Text, L"File -> " + log + L"\r\nDon't Found!!!");
    for (const ShownBox& box : boxes_.Shown) {
        EXPECT_EQ(box.Title, L"Open LogFile Failed");
        EXPECT_EQ(box.Buttons, BoxButtons::Ok);
        EXPECT_EQ(box.Icon, BoxIcon::Critical);
    }
}

} // namespace
} // namespace tarnwatch::testing
