#include "ui/dialogs/frm_option.h"

#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

using Id = FrmOption::Id;

const std::wstring StoredFolder = L"C:\\inetpub\\logs\\";

class FrmOptionTest : public ::testing::Test {
protected:
    FrmOptionTest() {
        current.RowLimit = 20;
        current.UpdateSeconds = 5;
        current.LogFolder = StoredFolder;
        current.FilterIps = {L"10.0.0.1"};
    }

    SettingsOutcome Open(std::vector<Step> steps) {
        SettingsOutcome outcome;
        Play(FrmOption::ClassName, std::move(steps), [&] {
            FrmOptionContext context{current, browser};
            outcome = FrmOption(boxes, context).Show(::GetModuleHandleW(nullptr));
        });
        return outcome;
    }

    Settings current;
    testing::ScriptedBoxes boxes;
    FakeFolderBrowser browser;
};

Step ExpectShown(std::wstring path, int seconds, int rowLimit) {
    return [=](HWND dialog) {
        EXPECT_EQ(TextOf(dialog, Id::txtPath), path);
        EXPECT_EQ(::SendMessageW(Item(dialog, Id::sldSecond), TBM_GETPOS, 0, 0), seconds);
        EXPECT_EQ(::SendMessageW(Item(dialog, Id::sldNum), TBM_GETPOS, 0, 0), rowLimit);
    };
}

TEST_F(FrmOptionTest, OkGivesWhatIsShownCountedAsUnsaved) {
    const SettingsOutcome unchanged = Open({ExpectShown(StoredFolder, 5, 20), Click(Id::cmdOk)});
    EXPECT_EQ(unchanged.NewSettings, current);
    EXPECT_TRUE(unchanged.Unsaved) << "even when nothing changed";
    const SettingsOutcome changed = Open({MoveSlider(Id::sldNum, 8), MoveSlider(Id::sldSecond, 10),
                                          Paste(Id::txtPath, L" D:\\web logs"), Click(Id::cmdOk)});
    ASSERT_TRUE(changed.NewSettings.has_value());
    EXPECT_EQ(changed.NewSettings->RowLimit, 8);
    EXPECT_EQ(changed.NewSettings->UpdateSeconds, 10);
    EXPECT_EQ(changed.NewSettings->LogFolder, L" D:\\web logs");
    EXPECT_EQ(changed.NewSettings->FilterIps, current.FilterIps);
}

TEST_F(FrmOptionTest, CancelAndTheCloseBoxStoreNothing) {
    for (const Step& close : {Click(Id::cmdCancel), CloseBox()}) {
        const SettingsOutcome outcome = Open(
            {MoveSlider(Id::sldNum, 3), MoveSlider(Id::sldSecond, 9), Paste(Id::txtPath, L"F:\\"), close});
        EXPECT_FALSE(outcome.NewSettings.has_value());
        EXPECT_FALSE(outcome.Unsaved);
    }
}

TEST_F(FrmOptionTest, StoredValuesOutsideTheSliderRangesShowAsTheNearestEnd) {
    for (const auto& [stored, shown] :
         {std::pair{std::pair{0, 500}, std::pair{1, 50}}, {{99, -3}, {10, 1}}}) {
        current.UpdateSeconds = stored.first;
        current.RowLimit = stored.second;
        Open({ExpectShown(StoredFolder, shown.first, shown.second), CloseBox()});
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

// Enter on a focused button presses it; anywhere else Enter, and Esc everywhere, acting as OK or Cancel would
// close the dialog before its last step.
TEST_F(FrmOptionTest, EnterAwayFromTheButtonsAndEscapeDoNothingAndTabWalksFromTheFolderButtonInFocusOrder) {
    std::vector<Id> focused;
    const Step seeFocus = [&](HWND) { focused.push_back(static_cast<Id>(::GetDlgCtrlID(::GetFocus()))); };
    const Step enterAwayFromTheButtons = [](HWND) {
        std::array<wchar_t, 16> className{};
        ::GetClassNameW(::GetFocus(), className.data(), static_cast<int>(className.size()));
        if (std::wstring(className.data()) != WC_BUTTONW) {
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        }
    };
    std::vector<Step> steps{seeFocus};
    for (int press = 0; press < 6; ++press) {
        steps.insert(steps.end(), {enterAwayFromTheButtons, PressKey(VK_ESCAPE), PressKey(VK_TAB), seeFocus});
    }
    steps.push_back(CloseBox());
    const SettingsOutcome outcome = Open(std::move(steps));
    EXPECT_EQ(focused, (std::vector<Id>{Id::cmdSelect, Id::txtPath, Id::cmdOk, Id::cmdCancel, Id::sldSecond,
                                        Id::sldNum, Id::cmdSelect}));
    EXPECT_FALSE(outcome.Unsaved);
}

} // namespace
} // namespace tarnwatch::ui
