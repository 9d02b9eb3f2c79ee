#include "ui/dialogs/frm_option.h"

#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

using Id = FrmOption::Id;

const std::wstring StoredFolder = L"C:\\inetpub\\logs\\";

class FrmOptionTest : public ::testing::Test {
protected:
    SettingsOutcome Open(std::vector<Step> steps) {
        SettingsOutcome outcome;
        Play(FrmOption::ClassName, std::move(steps), [&] {
            FrmOptionContext context{current, browser};
            outcome = FrmOption(boxes, context).Show(::GetModuleHandleW(nullptr));
        });
        return outcome;
    }

    Settings current{20, 5, StoredFolder, {L"10.0.0.1"}};
    testing::ScriptedBoxes boxes;
    FakeFolderBrowser browser;
};

TEST_F(FrmOptionTest, OkGivesWhatIsShownCountedAsUnsavedAndCancelOrTheCloseBoxNothing) {
    const SettingsOutcome unchanged = Open({Click(Id::cmdOk)});
    EXPECT_EQ(unchanged.NewSettings, current);
    EXPECT_TRUE(unchanged.Unsaved) << "even when nothing changed";
    const SettingsOutcome changed = Open({MoveSlider(Id::sldNum, 8), MoveSlider(Id::sldSecond, 9),
                                          Paste(Id::txtPath, L" D:\\web logs"), Click(Id::cmdOk)});
    EXPECT_EQ(changed.NewSettings, (Settings{8, 9, L" D:\\web logs", current.FilterIps}));
    for (const Step& close : {Click(Id::cmdCancel), CloseBox()}) {
        const SettingsOutcome outcome = Open({MoveSlider(Id::sldNum, 3), Paste(Id::txtPath, L"F:\\"), close});
        EXPECT_FALSE(outcome.NewSettings.has_value());
        EXPECT_FALSE(outcome.Unsaved);
    }
}

TEST_F(FrmOptionTest, FolderPickerResultsFillThePathBoxEndingWithABackslash) {
    std::vector<Step> steps;
    for (const auto& [picked, shown] : {std::pair<std::wstring, std::wstring>{L"", StoredFolder},
                                        {L"C:\\", L"C:\\"},
                                        {L"  E:\\web logs  ", L"E:\\web logs\\"}}) {
        browser.Results.push_back(picked);
        steps.insert(steps.end(), {Click(Id::cmdSelect), [this, shown](HWND dialog) {
                                       EXPECT_EQ(TextOf(dialog, Id::txtPath), shown);
                                       EXPECT_EQ(browser.Owners.back(), dialog);
                                   }});
    }
    steps.push_back(Click(Id::cmdOk));
    const SettingsOutcome outcome = Open(std::move(steps));
    ASSERT_TRUE(outcome.NewSettings.has_value());
    EXPECT_EQ(outcome.NewSettings->LogFolder, L"E:\\web logs\\");
}

} // namespace
} // namespace tarnwatch::ui
