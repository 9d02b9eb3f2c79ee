#include "tests/ui/main_window_fixture.h"
#include "ui/base/program_look.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

HICON SmallIcon(ui::ProgramIcon icon) {
    return ui::LoadProgramIcon(::GetModuleHandleW(nullptr), icon, ::GetSystemMetrics(SM_CXSMICON));
}

class TrayTest : public MainWindowTest {
protected:
    void Mouse(UINT mouseMessage) {
        ::SendMessageW(Window(), win::TrayIcon::CallbackMessage, 0, mouseMessage);
    }
    bool MinimizeEnabled() const {
        return (::GetMenuState(::GetMenu(Window()), ui::mnuMin, MF_BYCOMMAND) & MF_GRAYED) == 0;
    }
    // The pictures the shell was told to show since the given call, in order.
    std::vector<HICON> PicturesSince(std::size_t call) const {
        std::vector<HICON> pictures;
        for (; call < shell_.Calls.size(); ++call) {
            if (shell_.Calls[call].Action == NIM_MODIFY && shell_.Calls[call].Icon.uFlags == NIF_ICON) {
                pictures.push_back(shell_.Calls[call].Icon.hIcon);
            }
        }
        return pictures;
    }
};

TEST_F(TrayTest, MinimizeHidesTheWindowBehindTheYellowIconThatLeftClicksToggleUntilShowTakesItAway) {
    Start();
    Command(ui::mnuMin);
    ASSERT_EQ(shell_.Calls.size(), 2u);
    const NOTIFYICONDATAW& added = shell_.Calls[0].Icon;
    EXPECT_EQ(shell_.Calls[0].Action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(added.hWnd, Window());
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
    EXPECT_EQ(added.uCallbackMessage, win::TrayIcon::CallbackMessage) << "the message the window answers";
    EXPECT_EQ(added.hIcon, SmallIcon(ui::ProgramIcon::Yellow));
    EXPECT_EQ(shell_.Calls[1].Action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell_.Calls[1].Icon.uFlags, static_cast<UINT>(NIF_TIP));
    EXPECT_EQ(std::wstring(shell_.Calls[1].Icon.szTip), L"Corvin's Tarnwatch");
    EXPECT_FALSE(::IsWindowVisible(Window()));
    EXPECT_TRUE(state_.InTray);
    EXPECT_FALSE(MinimizeEnabled());

    for (const bool visible : {true, false}) {
        for (const UINT ignored : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
            Mouse(ignored);
        }
        Mouse(WM_LBUTTONUP);
        EXPECT_EQ(::IsWindowVisible(Window()) != FALSE, visible);
    }
    EXPECT_EQ(shell_.Calls.size(), 2u) << "the clicks leave the icon as it is";
    EXPECT_TRUE(state_.InTray);
    Command(ui::mnuMin);
    EXPECT_EQ(shell_.Calls.size(), 2u) << "a second minimize adds nothing";

    Command(ui::mnuTShow);
    ASSERT_EQ(shell_.Calls.size(), 3u);
    EXPECT_EQ(shell_.Calls[2].Action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell_.Calls[2].Icon.hWnd, Window());
    EXPECT_FALSE(state_.InTray);
    EXPECT_TRUE(MinimizeEnabled());
    EXPECT_TRUE(::IsWindowVisible(Window()));
    Mouse(WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(Window())) << "no tray procedure hides it any more";
    AppendLog(Request("192.168.0.7"));
    Tick();
    EXPECT_EQ(shell_.Calls.size(), 3u) << "the passes leave the tray alone";
}

TEST_F(TrayTest, EachPassStartsYellowAndTurnsBlueForAShownRequestAndARestartedShellGetsTheIconAsItWas) {
    Start(StartSettings{.FilterIps = {L"10.9.9.9"}, .LogFolder = {}});
    const HICON yellow = SmallIcon(ui::ProgramIcon::Yellow);
    const HICON blue = SmallIcon(ui::ProgramIcon::Blue);
    Command(ui::mnuMin);
    std::size_t since = shell_.Calls.size();
    AppendLog(Request("192.168.0.7") + Request("192.168.0.8"));
    Tick();
    EXPECT_EQ(PicturesSince(since), (std::vector<HICON>{yellow, blue, blue}));

    ::SendMessageW(Window(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    const RecordingNotificationArea::Call again = shell_.Calls.back();
    EXPECT_EQ(again.Action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(again.Icon.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(again.Icon.hIcon, blue);
    EXPECT_EQ(std::wstring(again.Icon.szTip), L"Corvin's Tarnwatch");

    since = shell_.Calls.size();
    AppendLog(Request("10.9.9.9"));
    Tick();
    EXPECT_EQ(PicturesSince(since), std::vector<HICON>{yellow}) << "a filtered request leaves it yellow";
    AppendLog(Request("192.168.0.9"));
    Tick();
    Command(ui::mnuTShow);
    Command(ui::mnuMin);
    const RecordingNotificationArea::Call& added = shell_.Calls[shell_.Calls.size() - 2];
    EXPECT_EQ(added.Action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.Icon.hIcon, yellow) << "a new icon starts yellow";
}

TEST_F(TrayTest, TheSoundEntriesKeepTheirMarksInStepABurstAddsOneToneAndSilencingDropsTheWaitingOne) {
    Start();
    const auto trayMarked = [this] { return IsChecked(ui::mnuTNotify, frmMain_->TrayMenu()); };
    EXPECT_FALSE(IsChecked(ui::mnuNotify));
    Command(ui::mnuNotify);
    EXPECT_TRUE(state_.SoundNotify);
    EXPECT_FALSE(trayMarked()) << "no tray yet";
    Command(ui::mnuMin);
    EXPECT_TRUE(trayMarked()) << "minimize copies the mark";
    Command(ui::mnuTNotify);
    EXPECT_FALSE(state_.SoundNotify);
    EXPECT_FALSE(IsChecked(ui::mnuNotify));
    EXPECT_FALSE(trayMarked());
    Mouse(WM_LBUTTONUP);
    Command(ui::mnuNotify);
    EXPECT_TRUE(IsChecked(ui::mnuNotify));
    EXPECT_TRUE(trayMarked()) << "with the icon there, both marks follow";

    speaker_.Hold(true);
    AppendLog(Request("192.168.0.1", "/first"));
    Tick();
    speaker_.WaitForTones(1);
    std::string burst;
    for (int request = 0; request < 1000; ++request) {
        std::string url = "/";
        url += std::to_string(request);
        burst += Request("192.168.1.1", url);
    }
    AppendLog(burst);
    Tick();
    EXPECT_EQ(Urls().back(), L"/999") << "the pass did not wait for the speaker";
    speaker_.Hold(false);
    EXPECT_EQ(speaker_.TonesWhenQuiet(), 2);

    speaker_.Hold(true);
    AppendLog(Request("192.168.2.1"));
    Tick();
    speaker_.WaitForTones(3);
    AppendLog(Request("192.168.2.2"));
    Tick();
    Command(ui::mnuNotify);
    speaker_.Hold(false);
    EXPECT_EQ(speaker_.TonesWhenQuiet(), 3) << "the tone that waited is dropped";
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
