#include "ui/dialogs/frm_option.h"

#include "tests/engine/fakes.h"
#include "tests/ui/scripted_user.h"

#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

using Id = FrmOption::Id;

class FrmOptionTest : public ::testing::Test {
protected:
    FrmOptionTest() { Reset(); }

    void Reset() {
        state = SharedState{};
        state.RowLimit = 20;
        state.UpdateSeconds = 5;
        state.LogFolder = L"C:\\inetpub\\logs\\";
        timer.IntervalMs = 5000;
        timer.Enabled = false;
        rows.resize(20);
        std::iota(rows.begin(), rows.end(), 1);
    }

    // Shows the dialog and plays the steps; returns once the dialog has closed.
    void Open(std::vector<Step> steps) {
        const ScriptedUser user(FrmOption::ClassName, std::move(steps));
        // Stands in for the monitor list: keeps the newest rows up to the row limit in force.
        FrmOptionContext context{state, timer,
                                 [this] {
                                     while (std::ssize(rows) > state.RowLimit) {
                                         rows.pop_front();
                                     }
                                 },
                                 browser};
        FrmOption frmOption(boxes, context);
        frmOption.Show(::GetModuleHandleW(nullptr));
        EXPECT_FALSE(user.GaveUp()) << "the dialog stayed open";
        EXPECT_EQ(user.StepsLeft(), 0U) << "the dialog closed early";
    }

    void ExpectUnchanged() const {
        EXPECT_EQ(state.RowLimit, 20);
        EXPECT_EQ(state.UpdateSeconds, 5);
        EXPECT_EQ(state.LogFolder, L"C:\\inetpub\\logs\\");
        EXPECT_FALSE(state.SettingsDirty);
        EXPECT_EQ(timer.IntervalMs, 5000);
        EXPECT_EQ(rows.size(), 20u);
    }

    SharedState state;
    testing::RecordingTimer timer;
    testing::ScriptedBoxes boxes;
    FakeFolderBrowser browser;
    std::deque<int> rows;
};

// Checks made inside a step run for certain: Open fails when the dialog closes before its last step.
Step ExpectShown(std::wstring path, int seconds, int rowLimit) {
    return [=](HWND dialog) {
        EXPECT_EQ(TextOf(dialog, Id::txtPath), path);
        EXPECT_EQ(::SendMessageW(Item(dialog, Id::sldSecond), TBM_GETPOS, 0, 0), seconds);
        EXPECT_EQ(::SendMessageW(Item(dialog, Id::sldNum), TBM_GETPOS, 0, 0), rowLimit);
    };
}

TEST_F(FrmOptionTest, OkStoresWhatIsShownMarksTheSettingsChangedAndAppliesThemAtOnce) {
    struct Case {
        Step Change;
        std::int32_t RowLimit;
        std::int32_t Seconds;
        std::wstring Folder;
        int OldestRow;
    };
    for (const Case& test : {Case{[](HWND) {}, 20, 5, L"C:\\inetpub\\logs\\", 1},
                             Case{MoveSlider(Id::sldNum, 8), 8, 5, L"C:\\inetpub\\logs\\", 13},
                             Case{MoveSlider(Id::sldSecond, 10), 20, 10, L"C:\\inetpub\\logs\\", 1},
                             Case{Paste(Id::txtPath, L" D:\\web logs"), 20, 5, L" D:\\web logs", 1}}) {
        SCOPED_TRACE(test.RowLimit * 100 + test.Seconds);
        Reset();
        Open({test.Change, Click(Id::cmdOk)});
        EXPECT_EQ(state.RowLimit, test.RowLimit);
        EXPECT_EQ(state.UpdateSeconds, test.Seconds);
        EXPECT_EQ(state.LogFolder, test.Folder);
        EXPECT_TRUE(state.SettingsDirty);
        EXPECT_EQ(timer.IntervalMs, test.Seconds * 1000);
        EXPECT_FALSE(timer.Enabled) << "a timer that is off stays off";
        EXPECT_EQ(rows.front(), test.OldestRow);
    }
}

TEST_F(FrmOptionTest, CancelAndTheCloseBoxStoreNothingAndTheNextOpeningStartsAfresh) {
    browser.Results = {L"E:\\w3svc1"};
    Open({MoveSlider(Id::sldNum, 3), MoveSlider(Id::sldSecond, 9), Click(Id::cmdSelect),
          ExpectShown(L"E:\\w3svc1\\", 9, 3), Click(Id::cmdCancel)});
    ExpectUnchanged();
    Open({ExpectShown(L"C:\\inetpub\\logs\\", 5, 20), MoveSlider(Id::sldNum, 3), Paste(Id::txtPath, L"F:\\"),
          CloseBox()});
    ExpectUnchanged();
}

TEST_F(FrmOptionTest, StoredValuesOutsideTheSliderRangesShowAndStoreAsTheNearestEnd) {
    state.UpdateSeconds = 0;
    state.RowLimit = 500;
    Open({ExpectShown(state.LogFolder, 1, 50), Click(Id::cmdOk)});
    EXPECT_EQ(state.UpdateSeconds, 1);
    EXPECT_EQ(state.RowLimit, 50);
    state.UpdateSeconds = 99;
    state.RowLimit = -3;
    Open({ExpectShown(state.LogFolder, 10, 1), Click(Id::cmdOk)});
    EXPECT_EQ(state.UpdateSeconds, 10);
    EXPECT_EQ(state.RowLimit, 1);
}

TEST_F(FrmOptionTest, FolderPickerResultsFillThePathBoxEndingWithABackslash) {
    std::vector<Step> steps;
    for (const auto& [picked, shown] : {std::pair<std::wstring, std::wstring>{L"", L"C:\\inetpub\\logs\\"},
                                        {L"D:\\logs\\w3svc1", L"D:\\logs\\w3svc1\\"},
                                        {L"   ", L"D:\\logs\\w3svc1\\"},
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

TEST_F(FrmOptionTest, EnterAndEscapeDoNothingAndTabWalksFromTheFolderButtonThroughTheFocusOrder) {
    std::vector<Id> focused;
    const Step seeFocus = [&](HWND) { focused.push_back(static_cast<Id>(::GetDlgCtrlID(::GetFocus()))); };
    std::vector<Step> steps{seeFocus};
    for (int press = 0; press < 6; ++press) {
        steps.insert(steps.end(), {PressKey(VK_RETURN), PressKey(VK_ESCAPE), PressKey(VK_TAB), seeFocus});
    }
    steps.push_back(CloseBox());
    Open(std::move(steps));
    EXPECT_EQ(focused, (std::vector<Id>{Id::cmdSelect, Id::txtPath, Id::cmdOk, Id::cmdCancel, Id::sldSecond,
                                        Id::sldNum, Id::cmdSelect}));
    ExpectUnchanged();
}

} // namespace
} // namespace tarnwatch::ui
