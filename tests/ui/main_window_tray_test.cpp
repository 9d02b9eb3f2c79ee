// The tray icon and the sound. Hiding behind the icon, its colours and its clicks are seen from outside the
// exe; what the shell cannot show from there is tested here.
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::testing {
namespace {

class TrayTest : public MainWindowTest {
protected:
    void Mouse(UINT mouseMessage) {
        ::SendMessageW(Window(), win::TrayIcon::CallbackMessage, 0, mouseMessage);
    }
    bool TraySoundMarked() const { return IsChecked(ui::mnuTNotify, frmMain_->TrayMenu()); }
    bool MinimizeGrayed() const { return IsChecked(ui::mnuMin, nullptr, MF_GRAYED); }
};

TEST_F(TrayTest, ARefusedIconLeavesTheWindowShownAndMinimizeIsGrayedWhileTheIconIsThere) {
    Start();
    shell_.RefusesIcons = true;
    Command(ui::mnuMin);
    EXPECT_EQ(boxes_.Shown.size(), 1u) << "a refused icon is no place to hide the window behind";
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(state_.InTray);
    EXPECT_FALSE(MinimizeGrayed());

    shell_.RefusesIcons = false;
    Command(ui::mnuMin);
    EXPECT_TRUE(state_.InTray);
    EXPECT_TRUE(MinimizeGrayed());
    Command(ui::mnuTShow);
    EXPECT_FALSE(state_.InTray);
    EXPECT_FALSE(MinimizeGrayed());
    Mouse(WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(Window())) << "no tray procedure hides it any more";
}

TEST_F(TrayTest, ARestartedShellGetsTheIconAsItWasOrElseTheWindowIsShown) {
    Start();
    Command(ui::mnuMin);
    AppendLog(Request("192.168.0.7"));
    Tick();
    const HICON shown = shell_.Calls.back().Icon.hIcon;
    ASSERT_NE(shown, shell_.Calls.front().Icon.hIcon) << "the pass changed the picture";

    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    ::SendMessageW(Window(), taskbarCreated, 0, 0);
    const RecordingNotificationArea::Call again = shell_.Calls.back();
    EXPECT_EQ(again.Action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(again.Icon.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(again.Icon.hIcon, shown);
    EXPECT_NE(again.Icon.szTip[0], L'\0');
    shell_.RefusesIcons = true;
    ::SendMessageW(Window(), taskbarCreated, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(Window())) << "a shell that refuses the icon again gets the window shown";
}

TEST_F(TrayTest, TheSoundEntriesOfTheMenuBarAndTheTrayKeepTheirMarksInStep) {
    Start();
    Command(ui::mnuNotify);
    Command(ui::mnuMin);
    EXPECT_TRUE(TraySoundMarked()) << "minimize copies the mark";
    Command(ui::mnuTNotify);
    EXPECT_FALSE(state_.SoundNotify);
    EXPECT_FALSE(IsChecked(ui::mnuNotify));
    EXPECT_FALSE(TraySoundMarked());
    Command(ui::mnuNotify);
    EXPECT_TRUE(state_.SoundNotify);
    EXPECT_TRUE(TraySoundMarked()) << "with the icon there, both marks follow";
}

// Held, the first tone is still sounding when the others are asked for.
TEST_F(TrayTest, APassNeverWaitsForTheSpeakerABurstBeepsForABoundedTimeAndSwitchingOffDropsWhatWaits) {
    Start();
    Command(ui::mnuNotify);
    speaker_.Hold(true);
    AppendLog(Request("192.168.0.1"));
    Tick();
    speaker_.WaitForTones(1);
    AppendLog(Requests(0, 999));
    Tick();
    EXPECT_EQ(Urls().back(), L"/999") << "the pass did not wait for the speaker";
    speaker_.Hold(false);
    const int afterBurst = speaker_.TonesWhenQuiet();
    EXPECT_EQ(afterBurst, 1 + Beeper::MostWaitingTones);

    speaker_.Hold(true);
    AppendLog(Request("192.168.2.1"));
    Tick();
    speaker_.WaitForTones(afterBurst + 1);
    AppendLog(Request("192.168.2.2") + Request("192.168.2.3"));
    Tick();
    Command(ui::mnuNotify);
    speaker_.Hold(false);
    EXPECT_EQ(speaker_.TonesWhenQuiet(), afterBurst + 1);
}

TEST_F(TrayTest, TrayCommandsWhileADialogIsOpenRaiseItAndExitStillCloses) {
    Start();
    const HWND window = Window();
    ui::Play(ui::FrmOption::ClassName,
             {[&](HWND) {
                  Command(ui::mnuTSet);
                  Command(ui::mnuTFilter);
              },
              [](HWND dialog) {
                  EXPECT_EQ(::FindWindowExW(nullptr, dialog, ui::FrmOption::ClassName, nullptr), nullptr);
                  EXPECT_EQ(::FindWindowW(ui::FrmFilter::ClassName, nullptr), nullptr);
              },
              [&](HWND) { ::SendMessageW(window, WM_COMMAND, ui::mnuTExit, 0); }},
             [&] { Command(ui::mnuSet); });
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(::FindWindowW(ui::FrmOption::ClassName, nullptr), nullptr);
}

} // namespace
} // namespace tarnwatch::testing
