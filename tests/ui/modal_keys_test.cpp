#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"

#include <gtest/gtest.h>

namespace tarnwatch::ui {
namespace {

template <typename Id> Step Focus(Id id) {
    return [id](HWND window) { ::SetFocus(Item(window, id)); };
}

// Each window closes on the key, or Play fails it for staying open.
TEST(ModalWindowKeys, EnterPressesTheFocusedButtonOfEveryModalWindowAndEnterOrEscCloseTheAboutBox) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    testing::ScriptedBoxes boxes;
    for (const Step& close : {Focus(FrmAbout::Id::Command1), Step([](HWND about) { ::SetFocus(about); })}) {
        for (const UINT key : {VK_RETURN, VK_ESCAPE}) {
            Play(FrmAbout::ClassName, {close, PressKey(key)}, [&] { FrmAbout(boxes).Show(instance); });
        }
    }

    Settings current;
    FakeFolderBrowser browser;
    FrmOptionContext context{current, browser};
    SettingsOutcome outcome;
    Play(FrmOption::ClassName, {Focus(FrmOption::Id::cmdOk), PressKey(VK_RETURN)},
         [&] { outcome = FrmOption(boxes, context).Show(instance); });
    EXPECT_TRUE(outcome.NewSettings.has_value()) << "Ok of the Options dialog";

    outcome = {};
    Play(FrmFilter::ClassName, {Focus(FrmFilter::Id::cmdOk), PressKey(VK_RETURN)},
         [&] { outcome = FrmFilter(boxes, current).Show(instance); });
    EXPECT_TRUE(outcome.NewSettings.has_value()) << "Ok of the filter dialog";
}

} // namespace
} // namespace tarnwatch::ui
