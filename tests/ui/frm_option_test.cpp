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
        state.RowLimit = 20;
        state.UpdateSeconds = 5;
        state.LogFolder = StoredFolder;
        timer.IntervalMs = 5000;
        timer.Enabled = false;
    }

    void Open(std::vector<Step> steps) {
        Play(FrmOption::ClassName, std::move(steps), [this] {
            FrmOptionContext context{state, timer, [this] { trimmedTo.push_back(state.RowLimit); }, browser};
            FrmOption(boxes, context).Show(::GetModuleHandleW(nullptr));
        });
    }

    SharedState state;
    testing::RecordingTimer timer;
    testing::ScriptedBoxes boxes;
    FakeFolderBrowser browser;
    // The row limit in force each time the monitor list was trimmed to it.
    std::vector<std::int32_t> trimmedTo;
};

Step ExpectShown(std::wstring path, int seconds, int rowLimit) {
    return [=](HWND dialog) {
        EXPECT_EQ(TextOf(dialog, Id::txtPath), path);
        EXPECT_EQ(::SendMessageW(Item(dialog, Id::sldSecond), TBM_GETPOS, 0, 0), seconds);
        EXPECT_EQ(::SendMessageW(Item(dialog, Id::sldNum), TBM_GETPOS, 0, 0), rowLimit);
    };
}

TEST_F(FrmOptionTest, OkStoresWhatIsShownMarksTheSettingsChangedAndAppliesThemAtOnce) {
    Open({ExpectShown(StoredFolder, 5, 20), Click(Id::cmdOk)});
    EXPECT_TRUE(state.SettingsDirty) << "marked even when nothing changed";
    Open({MoveSlider(Id::sldNum, 8), MoveSlider(Id::sldSecond, 10), Paste(Id::txtPath, L" D:\\web logs"),
          Click(Id::cmdOk)});
    EXPECT_EQ(state.RowLimit, 8);
    EXPECT_EQ(state.UpdateSeconds, 10);
    EXPECT_EQ(state.LogFolder, L" D:\\web logs");
    EXPECT_EQ(timer.IntervalMs, 10000);
    EXPECT_FALSE(timer.Enabled) << "a timer that is off stays off";
    EXPECT_EQ(trimmedTo, (std::vector<std::int32_t>{20, 8}))
        << "each OK trims the list to the limit it stored";
}

TEST_F(FrmOptionTest, CancelAndTheCloseBoxStoreNothing) {
    for (const Step& close : {Click(Id::cmdCancel), CloseBox()}) {
        Open({MoveSlider(Id::sldNum, 3), MoveSlider(Id::sldSecond, 9), Paste(Id::txtPath, L"F:\\"), close});
        EXPECT_EQ(state.RowLimit, 20);
        EXPECT_EQ(state.UpdateSeconds, 5);
        EXPECT_EQ(state.LogFolder, StoredFolder);
        EXPECT_FALSE(state.SettingsDirty);
        EXPECT_EQ(timer.IntervalMs, 5000);
        EXPECT_TRUE(trimmedTo.empty()) << "the list was trimmed";
    }
}

TEST_F(FrmOptionTest, StoredValuesOutsideTheSliderRangesShowAsTheNearestEnd) {
    for (const auto& [stored, shown] :
         {std::pair{std::pair{0, 500}, std::pair{1, 50}}, {{99, -3}, {10, 1}}}) {
        state.UpdateSeconds = stored.first;
        state.RowLimit = stored.second;
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
    Open(std::move(steps));
    EXPECT_EQ(state.LogFolder, L"E:\\web logs\\");
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
    Open(std::move(steps));
    EXPECT_EQ(focused, (std::vector<Id>{Id::cmdSelect, Id::txtPath, Id::cmdOk, Id::cmdCancel, Id::sldSecond,
                                        Id::sldNum, Id::cmdSelect}));
    EXPECT_FALSE(state.SettingsDirty);
}

} // namespace
} // namespace tarnwatch::ui
