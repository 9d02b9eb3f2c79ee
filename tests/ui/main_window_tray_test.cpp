#include "platform/dpi.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/base/program_look.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

class TrayTest : public MainWindowTest {
protected:
    // The program's icon at the small-icon size of the window's screen.
    HICON SmallIcon(ui::ProgramIcon icon) const {
        return ui::LoadProgramIcon(::GetModuleHandleW(nullptr), icon,
                                   win::SystemMetricForDpi(SM_CXSMICON, win::WindowDpi(Window())));
    }
    void Mouse(UINT mouseMessage) {
        ::SendMessageW(Window(), win::TrayIcon::CallbackMessage, 0, mouseMessage);
    }
    // The sound entry's mark in the menu that a right click on the icon pops up, read while the menu is open.
    // Under Wine the first menu after the window was shown can close by itself before it is read: the click
    // is then made again.
    bool TraySoundMarked() {
        static std::optional<bool> marked;
        marked.reset();
        for (int click = 0; click < 5 && !marked; ++click) {
            const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
                const HWND popup = ::FindWindowW(L"#32768", nullptr);
                if (marked || popup == nullptr || !::IsWindowVisible(popup)) {
                    return;
                }
                const auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
                marked = (::GetMenuState(menu, ui::mnuTNotify, MF_BYCOMMAND) & MF_CHECKED) != 0;
                ::PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
            });
            Mouse(WM_RBUTTONUP);
            ::KillTimer(nullptr, timer);
        }
        EXPECT_TRUE(marked.has_value()) << "the tray menu never stayed open";
        return marked.value_or(false);
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
    shell_.RefusesIcons = true;
    Command(ui::mnuMin);
    ASSERT_EQ(boxes_.Shown.size(), 1u) << "a refused icon is no place to hide the window behind";
    EXPECT_EQ(boxes_.Shown[0].Title, L"Minimize Failed");
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(state_.InTray);
    EXPECT_TRUE(MinimizeEnabled());
    shell_.RefusesIcons = false;

    Command(ui::mnuMin);
    ASSERT_EQ(shell_.Calls.size(), 2u);
    EXPECT_EQ(shell_.Calls[0].Action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell_.Calls[0].Icon.hWnd, Window());
    EXPECT_EQ(shell_.Calls[0].Icon.hIcon, SmallIcon(ui::ProgramIcon::Yellow));
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
    shell_.RefusesIcons = true;
    ::SendMessageW(Window(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(::IsWindowVisible(Window())) << "a shell that refuses the icon again gets the window shown";
    shell_.RefusesIcons = false;

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

TEST_F(TrayTest, TheSoundEntriesKeepTheirMarksInStepEachShownRequestBeepsAndABurstBeepsForABoundedTime) {
    Start();
    EXPECT_FALSE(IsChecked(ui::mnuNotify));
    Command(ui::mnuNotify);
    EXPECT_TRUE(state_.SoundNotify);
    Command(ui::mnuMin);
    EXPECT_TRUE(TraySoundMarked()) << "minimize copies the mark";
    Command(ui::mnuTNotify);
    EXPECT_FALSE(state_.SoundNotify);
    EXPECT_FALSE(IsChecked(ui::mnuNotify));
    EXPECT_FALSE(TraySoundMarked());
    Mouse(WM_LBUTTONUP);
    Command(ui::mnuNotify);
    EXPECT_TRUE(IsChecked(ui::mnuNotify));
    EXPECT_TRUE(TraySoundMarked()) << "with the icon there, both marks follow";

    // Held, the first tone is still sounding when the others are asked for.
    speaker_.Hold(true);
    AppendLog(Request("192.168.0.1") + Request("192.168.0.2") + Request("192.168.0.3"));
    Tick();
    speaker_.Hold(false);
    EXPECT_EQ(speaker_.TonesWhenQuiet(), 3) << "one tone for each request";

    speaker_.Hold(true);
    AppendLog(Request("192.168.0.4", "/first"));
    Tick();
    speaker_.WaitForTones(4);
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
    EXPECT_EQ(speaker_.TonesWhenQuiet(), 4 + Beeper::MostWaitingTones);

    const int beforeSilence = speaker_.TonesWhenQuiet();
    speaker_.Hold(true);
    AppendLog(Request("192.168.2.1"));
    Tick();
    speaker_.WaitForTones(beforeSilence + 1);
    AppendLog(Request("192.168.2.2") + Request("192.168.2.3"));
    Tick();
    Command(ui::mnuNotify);
    speaker_.Hold(false);
    EXPECT_EQ(speaker_.TonesWhenQuiet(), beforeSilence + 1) << "switching the sound off drops what waits";
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
