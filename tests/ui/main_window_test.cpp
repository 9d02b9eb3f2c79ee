// A real main window against a temporary folder with param.dat and today's log, with stand-ins for the shell
// and the speaker: what the shell is told to show or open is recorded, tones are counted, not heard. Its
// rows, their filter and limit, the timer's polls, the tray icon's colours and clicks, the filter dialog's
// effect and the help window's codes are seen from outside the exe.
#include "engine/settings.h"
#include "engine/startup.h"
#include "platform/dpi.h"
#include "platform/handles.h"
#include "platform/win_clock.h"
#include "platform/win_code_page.h"
#include "platform/win_file_system.h"
#include "tests/support/fakes.h"
#include "tests/support/iis_log.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/scripted_user.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/frm_main.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace tarnwatch::ui {
namespace {

using Texts = std::vector<std::wstring>;

class RecordingNotificationArea final : public win::NotificationArea {
public:
    std::vector<std::pair<DWORD, NOTIFYICONDATAW>> Calls;
    bool RefusesIcons = false;
    bool Notify(DWORD action, const NOTIFYICONDATAW& icon) override {
        if (action == NIM_ADD && RefusesIcons) {
            return false;
        }
        Calls.emplace_back(action, icon);
        return true;
    }
};

class RecordingOpener final : public win::ShellOpener {
public:
    Texts Targets;
    void Open(HWND, const std::wstring& target) override { Targets.push_back(target); }
};

// While held, a tone does not end, as a real one lasts a while.
class CountingSpeaker final : public win::Speaker {
public:
    std::atomic<bool> Held = false;
    void Sound(int, int) override {
        ++tones_;
        while (Held) {
            ::Sleep(1);
        }
    }
    // The number of tones begun once there are at least the given number and no more come within a moment.
    int Tones(int atLeast = 0) {
        for (int waitedMs = 0; tones_ < atLeast && waitedMs < 5000; waitedMs += 10) {
            ::Sleep(10);
        }
        for (int seen = -1; seen != tones_; ::Sleep(200)) {
            seen = tones_;
        }
        return tones_;
    }

private:
    std::atomic<int> tones_ = 0;
};

class MainWindowTest : public ::testing::Test {
protected:
    std::filesystem::path SettingsFile() const { return folder_.Path() / "param.dat"; }
    std::filesystem::path TodaysLog() { return folder_.Path() / TodayLogFileName(clock_.Today()); }

    // Polls every ten seconds, so that no real tick comes between the test's own. The log already holds a
    // request from before the start, which must never become a row.
    bool Load(std::int32_t rowLimit = 50, const std::wstring& subfolder = {}) {
        const Settings settings{rowLimit, 10, folder_.Path().wstring() + L"\\" + subfolder, {L"127.0.0.1"}};
        EXPECT_TRUE(SaveSettings(settings, SettingsFile(), codePage_, boxes_));
        folder_.Write(TodaysLog().filename().string(),
                      testing::LogHeader() + testing::Request("10.0.0.1", "/old"));
        frmMain_ = std::make_unique<FrmMain>(
            state_, FrmMainPorts{boxes_, clock_, beeps_, codePage_, files_, browser_, shell_, opener_},
            folder_.Path());
        return frmMain_->Load(::GetModuleHandleW(nullptr));
    }
    void Start(std::int32_t rowLimit = 50) {
        ASSERT_TRUE(Load(rowLimit));
        frmMain_->Show(SW_SHOWNORMAL);
    }

    // The server appends requests for the pages "/first" to "/last", then the timer ticks.
    void Serve(int first, int last) {
        std::ofstream log(TodaysLog(), std::ios::binary | std::ios::app);
        for (int page = first; page <= last; ++page) {
            log << testing::Request("192.168.0.1", std::string("/") += std::to_string(page));
        }
        log.close();
        ::SendMessageW(Window(), WM_TIMER, FrmMain::UpdateTimerId, 0);
    }

    HWND Window() const { return frmMain_->Handle(); }
    HWND List() const { return ::GetDlgItem(Window(), IdOf(FrmMain::Id::lvwTarnwatch)); }
    void Command(UINT command) { ::SendMessageW(Window(), WM_COMMAND, command, 0); }
    // Whether the entry of the menu bar, or of the given menu, is checked (or has the given state).
    bool IsChecked(UINT command, HMENU menu = nullptr, UINT state = MF_CHECKED) const {
        return (::GetMenuState(menu != nullptr ? menu : ::GetMenu(Window()), command, MF_BYCOMMAND) &
                state) != 0;
    }
    Texts Urls() const { return ColumnTexts(List(), 3); }
    int ColumnWidth(int column) const { return ListView_GetColumnWidth(List(), column); }

    testing::TempFolder folder_;
    SharedState state_;
    testing::ScriptedBoxes boxes_;
    win::WinClock clock_;
    CountingSpeaker speaker_;
    win::BeepQueue beeps_{speaker_};
    RecordingNotificationArea shell_;
    RecordingOpener opener_;
    win::WinAnsiCodePage codePage_;
    win::WinFileSystem files_;
    FakeFolderBrowser browser_;
    // Last, so that the window goes before the folder it reads.
    std::unique_ptr<FrmMain> frmMain_;
};

// Start-up itself is the engine's, and Retry's Options dialog is the menu's; here, that a start that gave up
// leaves no window behind.
TEST_F(MainWindowTest, AStartThatGivesUpLeavesNoWindow) {
    EXPECT_FALSE(Load(50, L"missing\\")) << "the box was cancelled";
    EXPECT_EQ(::FindWindowW(FrmMain::ClassName, nullptr), nullptr);
}

TEST_F(MainWindowTest, ClosingAsksToSaveOnlyUnsavedChangesWritesThemOnlyOnYesAndTakesTheTrayIconAway) {
    // What is done first, and the command that closes the window (0: nothing, and the close box).
    using Case = std::tuple<UINT, UINT, BoxAnswer, bool>;
    for (const auto& [first, close, answer, written] :
         {Case{0, 0, BoxAnswer::Yes, true}, Case{mnuMin, mnuTExit, BoxAnswer::No, false},
          Case{mnuSave, mnuExit, BoxAnswer::Yes, false}}) {
        SCOPED_TRACE(close);
        boxes_ = testing::ScriptedBoxes{};
        boxes_.Answers = {answer};
        Start();
        state_.RowLimit = 12;
        state_.SettingsDirty = true;
        Command(first);
        const HWND window = Window();
        const std::string beforeClose = testing::TempFolder::Read(SettingsFile());
        ::SendMessageW(window, close == 0 ? WM_CLOSE : WM_COMMAND, close, 0);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(testing::TempFolder::Read(SettingsFile()) != beforeClose, written) << "written only on Yes";
        ASSERT_EQ(boxes_.Shown.size(), first == mnuSave ? 0u : 1u) << "asked only while unsaved";
        if (!boxes_.Shown.empty()) {
            EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
        }
        if (first == mnuMin) {
            EXPECT_EQ(shell_.Calls.back().first, static_cast<DWORD>(NIM_DELETE));
        }
    }
}

// Which columns a mode shows is the design's; that only its entry is marked, that its last column takes the
// list's width, that the columns are twips laid out again whenever that is due and that the window keeps its
// place in and out of the topmost band is the window's.
TEST_F(MainWindowTest,
       StartsAtTheTopRightFilledByTheListLaysItsColumnsOutWhenDueAndTogglesAlwaysOnTopInPlace) {
    Start();
    const RECT window = Bounds(Window());
    EXPECT_EQ(window.top, 0);
    EXPECT_LT(::GetSystemMetrics(SM_CXSCREEN) - window.right, window.left) << "nearer the right edge";
    const RECT client = ClientArea(Window());
    const RECT list = Bounds(List());
    EXPECT_TRUE(::EqualRect(&list, &client)) << "the list fills the window";
    for (const UINT mode : {mnuCom, mnuSim, mnuSta}) {
        SCOPED_TRACE(mode);
        Command(mode);
        for (const UINT entry : {mnuSim, mnuSta, mnuCom}) {
            EXPECT_EQ(IsChecked(entry), entry == mode) << "entry " << entry;
        }
        int last = 3;
        while (last > 0 && ColumnWidth(last) == 0) {
            --last;
        }
        EXPECT_EQ(ColumnWidth(last), client.right);
    }

    const int standard = ColumnWidth(1);
    // Widths the user dragged by hand last until the next layout.
    ListView_SetColumnWidth(List(), 1, standard + 7);
    ::ShowWindow(Window(), SW_MINIMIZE);
    EXPECT_EQ(ColumnWidth(1), standard + 7) << "nothing is laid out while minimized";
    ::ShowWindow(Window(), SW_RESTORE);
    EXPECT_EQ(ColumnWidth(1), standard) << "laid out again once restored";
    // Only moved, the window hears of no new size: the columns change all the same.
    const int dpi = win::WindowDpi(Window());
    RECT suggested = Bounds(Window());
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ColumnWidth(1), standard * 144 / dpi);
    EXPECT_LT(Bounds(Window()).bottom, window.bottom) << "the gap below it is twips too";

    const RECT before = Bounds(Window());
    for (const bool onTop : {true, false}) {
        Command(mnuTOp);
        EXPECT_EQ(IsChecked(mnuTOp), onTop);
        EXPECT_EQ((::GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop);
        const RECT after = Bounds(Window());
        EXPECT_TRUE(::EqualRect(&after, &before)) << "always on top leaves the window where it is";
    }
}

// How the help window keeps its place and shape, measured against itself.
TEST_F(MainWindowTest,
       TheHelpWindowOpensAtTheTopLeftKeepsItsHeightAndNeverNarrowsTheStatusColumnBelowNothing) {
    Start();
    Command(mnuCon);
    const HWND help = ::FindWindowW(FrmHelp::ClassName, nullptr);
    const HWND list = ::GetDlgItem(help, IdOf(FrmHelp::Id::lvwHelp));
    EXPECT_EQ(Bounds(help).left, 0) << "at the top left";
    EXPECT_EQ(Bounds(help).top, 0) << "at the top left";
    // At 144 DPI the code column and the gap are wider than the narrowest window the system allows.
    RECT suggested = Bounds(help);
    ::SendMessageW(help, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const int height = Bounds(help).bottom;
    const int frame = Bounds(help).right - ClientArea(help).right;
    // One pixel short of the code column and the gap, where a status width of -1 would fit it to its texts.
    const int codeAndGap = ClientArea(help).right - ListView_GetColumnWidth(list, 1);
    ::SetWindowPos(help, nullptr, 0, 0, frame + codeAndGap - 1, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Bounds(help).bottom, height) << "the height springs back";
    EXPECT_EQ(Bounds(list).right, ClientArea(help).right) << "the list fills the window";
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 0);
}

// Only the path of the log being read goes to the shell, and only while it is there, can be opened and is
// no larger than 100 MiB. The reasons for a refusal are the boxes' to tell.
TEST_F(MainWindowTest, OnlineHelpOpensAWebPageAndTheLogViewerOpensOnlyALogItMay) {
    Start();
    Command(mnuLine);
    std::filesystem::resize_file(TodaysLog(), 100 << 20);
    Command(mnuLog);
    ASSERT_EQ(opener_.Targets.size(), 2u);
    EXPECT_EQ(opener_.Targets[0].rfind(L"http://", 0), 0u);
    EXPECT_EQ(opener_.Targets[1], TodaysLog().wstring());

    std::filesystem::resize_file(TodaysLog(), (100 << 20) + 1);
    Command(mnuLog);
    {
        const win::FileHandle heldAlone(::CreateFileW(TodaysLog().c_str(), GENERIC_READ, 0, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(heldAlone);
        Command(mnuLog);
    }
    std::filesystem::remove(TodaysLog());
    Command(mnuLog);
    EXPECT_EQ(opener_.Targets.size(), 2u) << "nothing more was opened";
    EXPECT_EQ(boxes_.Shown.size(), 3u) << "a box for each refusal";
}

// A shell that restarts knows nothing of the icon; without it the hidden window could not be reached.
TEST_F(MainWindowTest, TheTrayIconIsOnlyThereOnceTheShellTookItAndARestartedShellGetsItAsItWas) {
    Start();
    shell_.RefusesIcons = true;
    Command(mnuMin);
    EXPECT_EQ(boxes_.Shown.size(), 1u) << "a refused icon is no place to hide the window behind";
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(state_.InTray);
    shell_.RefusesIcons = false;
    Command(mnuMin);
    EXPECT_TRUE(state_.InTray);
    EXPECT_TRUE(IsChecked(mnuMin, nullptr, MF_GRAYED));

    Serve(1, 1);
    const HICON shown = shell_.Calls.back().second.hIcon;
    ASSERT_NE(shown, shell_.Calls.front().second.hIcon) << "the pass changed the picture";
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    ::SendMessageW(Window(), taskbarCreated, 0, 0);
    const auto& [action, icon] = shell_.Calls.back();
    EXPECT_EQ(action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(icon.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(icon.hIcon, shown);
    EXPECT_NE(icon.szTip[0], L'\0');
    shell_.RefusesIcons = true;
    ::SendMessageW(Window(), taskbarCreated, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(Window())) << "a shell that refuses the icon again gets the window shown";

    Command(mnuTShow);
    EXPECT_FALSE(state_.InTray);
    EXPECT_FALSE(IsChecked(mnuMin, nullptr, MF_GRAYED));
    ::SendMessageW(Window(), win::TrayIcon::CallbackMessage, 0, WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(Window())) << "no tray procedure hides it any more";
}

// Held, the first tone is still sounding when the others are asked for.
TEST_F(MainWindowTest, TheSoundEntriesKeepInStepAPassNeverWaitsForTheSpeakerAndABurstBeepsForABoundedTime) {
    Start();
    const auto trayMarked = [&] { return IsChecked(mnuTNotify, frmMain_->TrayMenu()); };
    Command(mnuNotify);
    Command(mnuMin);
    EXPECT_TRUE(trayMarked()) << "minimize copies the mark";
    Command(mnuTNotify);
    EXPECT_FALSE(state_.SoundNotify);
    EXPECT_FALSE(IsChecked(mnuNotify));
    EXPECT_FALSE(trayMarked());
    Command(mnuNotify);
    EXPECT_TRUE(trayMarked()) << "with the icon there, both marks follow";

    speaker_.Held = true;
    Serve(0, 0);
    speaker_.Tones(1);
    Serve(1, 999);
    EXPECT_EQ(Urls().back(), L"/999") << "the pass did not wait for the speaker";
    speaker_.Held = false;
    const int afterBurst = speaker_.Tones();
    EXPECT_EQ(afterBurst, 1 + Beeper::MostWaitingTones);

    speaker_.Held = true;
    Serve(1000, 1000);
    speaker_.Tones(afterBurst + 1);
    Serve(1001, 1002);
    Command(mnuNotify);
    speaker_.Held = false;
    EXPECT_EQ(speaker_.Tones(), afterBurst + 1) << "switching the sound off drops what waits";
}

TEST_F(MainWindowTest, EntriesOpenTheirDialogsThoseOfTheTrayLeavingTheWindowHiddenOrRaisingOneThatIsOpen) {
    Start();
    Play(FrmAbout::ClassName, {CloseBox()}, [&] { Command(mnuAbout); });
    Command(mnuMin);
    const auto hidden = [&](HWND) { EXPECT_FALSE(::IsWindowVisible(Window())) << "while the dialog is up"; };
    for (const auto& [entry, dialog] : {std::pair{mnuTAbout, FrmAbout::ClassName},
                                        {mnuTSet, FrmOption::ClassName},
                                        {mnuTFilter, FrmFilter::ClassName}}) {
        Play(dialog, {hidden, CloseBox()}, [&] { Command(entry); });
    }
    EXPECT_FALSE(::IsWindowVisible(Window())) << "once it has closed";

    const HWND window = Window();
    const auto raiseInstead = [&](HWND dialog) {
        Command(mnuTSet);
        Command(mnuTFilter);
        EXPECT_EQ(::FindWindowExW(nullptr, dialog, FrmOption::ClassName, nullptr), nullptr);
        EXPECT_EQ(::FindWindowW(FrmFilter::ClassName, nullptr), nullptr);
    };
    Play(FrmOption::ClassName, {raiseInstead, [&](HWND) { Command(mnuTExit); }}, [&] { Command(mnuSet); });
    EXPECT_FALSE(::IsWindow(window)) << "Exit still closes";
    EXPECT_EQ(::FindWindowW(FrmOption::ClassName, nullptr), nullptr);
}

// A click on a row selects it and gives it the focus; the list keeps its rows outside the control, so only
// the window can keep that on the request when older rows are trimmed away. Once the list is full, a new row
// moves every row, and the list is painted again. Rows, filtering and the row limit are seen from outside the
// exe; a lower limit from the Options is not.
TEST_F(MainWindowTest, ASelectionStaysWithItsRequestUntilTrimmedAFullListIsPaintedAndALowerLimitTrimsAtOnce) {
    Start(3);
    Serve(1, 3);
    ListView_SetItemState(List(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Serve(4, 4);
    const int selected = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(Urls()[static_cast<std::size_t>(selected)], L"/2") << "the request the user picked, one row up";
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), selected);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 1u);
    Serve(5, 6);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 0u) << "trimmed away, and nothing else selected instead";
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), -1);

    ::UpdateWindow(List());
    int paints = 0;
    const SUBCLASSPROC count = [](HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
        *reinterpret_cast<int*>(data) += message == WM_PAINT ? 1 : 0;
        return ::DefSubclassProc(list, message, wParam, lParam);
    };
    ASSERT_TRUE(::SetWindowSubclass(List(), count, 1, reinterpret_cast<DWORD_PTR>(&paints)));
    Serve(7, 7);
    ::UpdateWindow(List());
    ::RemoveWindowSubclass(List(), count, 1);
    EXPECT_GE(paints, 1);
    EXPECT_EQ(Urls(), (Texts{L"/5", L"/6", L"/7"}));
    Play(FrmOption::ClassName, {MoveSlider(FrmOption::Id::sldNum, 2), Click(FrmOption::Id::cmdOk)},
         [&] { Command(mnuSet); });
    EXPECT_EQ(Urls(), (Texts{L"/6", L"/7"})) << "a lower limit trims the list at once";
    EXPECT_TRUE(state_.SettingsDirty);
}

} // namespace
} // namespace tarnwatch::ui
