#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tarnwatch::ui {
namespace {

template <typename Id> Step Focus(Id id) {
    return [id](HWND window) { ::SetFocus(Item(window, id)); };
}

class ModalWindowKeys : public ::testing::Test {
protected:
    SettingsOutcome OpenOptions(std::vector<Step> steps) {
        SettingsOutcome outcome;
        Play(FrmOption::ClassName, std::move(steps),
             [&] { outcome = FrmOption(boxes, context).Show(instance); });
        return outcome;
    }

    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    testing::ScriptedBoxes boxes;
    Settings current;
    FakeFolderBrowser browser;
    FrmOptionContext context{current, browser};
};

// Each window closes on the key, or Play fails it for staying open.
TEST_F(ModalWindowKeys, EnterPressesTheFocusedButtonOfEveryModalWindowAndEnterOrEscCloseTheAboutBox) {
    for (const Step& close : {Focus(FrmAbout::Id::Command1), Step([](HWND about) { ::SetFocus(about); })}) {
        for (const UINT key : {VK_RETURN, VK_ESCAPE}) {
            Play(FrmAbout::ClassName, {close, PressKey(key)}, [&] { FrmAbout(boxes).Show(instance); });
        }
    }
    EXPECT_TRUE(OpenOptions({Focus(FrmOption::Id::cmdOk), PressKey(VK_RETURN)}).NewSettings.has_value());
    SettingsOutcome outcome;
    Play(FrmFilter::ClassName, {Focus(FrmFilter::Id::cmdOk), PressKey(VK_RETURN)},
         [&] { outcome = FrmFilter(boxes, current).Show(instance); });
    EXPECT_TRUE(outcome.NewSettings.has_value()) << "Ok of the filter dialog";
}

// Enter anywhere but on a button, and Esc everywhere, acting as OK or Cancel would close the dialog before
// its last step.
TEST_F(ModalWindowKeys, InTheOptionsEnterAwayFromTheButtonsAndEscDoNothingAndTabReachesEveryControlInTurn) {
    int tabStops = 0;
    const Step countTabStops = [&](HWND dialog) {
        for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
             control = ::GetWindow(control, GW_HWNDNEXT)) {
            tabStops += (::GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0 ? 1 : 0;
        }
    };
    std::vector<HWND> focused;
    const Step seeFocus = [&](HWND) { focused.push_back(::GetFocus()); };
    const Step enterAwayFromTheButtons = [](HWND) {
        if ((::SendMessageW(::GetFocus(), WM_GETDLGCODE, 0, 0) &
             (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) == 0) {
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        }
    };
    std::vector<Step> steps{countTabStops, seeFocus};
    for (int press = 0; press < 8; ++press) {
        steps.insert(steps.end(), {enterAwayFromTheButtons, PressKey(VK_ESCAPE), PressKey(VK_TAB), seeFocus});
    }
    steps.push_back(CloseBox());
    EXPECT_FALSE(OpenOptions(std::move(steps)).Unsaved);
    EXPECT_EQ(std::set<HWND>(focused.begin(), focused.end()).size(), static_cast<std::size_t>(tabStops));
    ASSERT_GT(focused.size(), static_cast<std::size_t>(tabStops));
    EXPECT_EQ(focused[static_cast<std::size_t>(tabStops)], focused[0]) << "and round again";
}

} // namespace
} // namespace tarnwatch::ui
