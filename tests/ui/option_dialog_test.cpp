#include "tests/ui/option_dialog_user.h"
#include "ui/dialogs/option_dialog.h"

#include "platform/dpi.h"
#include "platform/twips.h"
#include "tests/engine/fakes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

class OptionDialogTest : public ::testing::Test {
protected:
    OptionDialogTest() { Reset(); }

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
        const ScriptedUser user(std::move(steps));
        // Stands in for the monitor list: keeps the newest rows up to the row limit in force.
        const auto trimRows = [this] {
            while (std::ssize(rows) > state.RowLimit) {
                rows.pop_front();
            }
        };
        OptionDialogContext context{state, timer, trimRows, browser};
        ShowOptionDialog(::GetModuleHandleW(nullptr), context);
        EXPECT_FALSE(user.GaveUp()) << "the dialog stayed open";
        EXPECT_EQ(user.StepsLeft(), 0U) << "the dialog closed early";
    }

    // Everything the dialog may change, in one line so that a case is compared whole.
    std::wstring Stored() const {
        return std::to_wstring(state.RowLimit) + L" rows " + std::to_wstring(state.UpdateSeconds) + L" s " +
               std::to_wstring(timer.IntervalMs) + L" ms [" + state.LogFolder + L"]" +
               (state.SettingsDirty ? L" changed" : L"") + (timer.Enabled ? L" on" : L"") + L", oldest row " +
               std::to_wstring(rows.front());
    }

    const std::wstring unchanged = L"20 rows 5 s 5000 ms [C:\\inetpub\\logs\\], oldest row 1";
    SharedState state;
    testing::RecordingTimer timer;
    FakeFolderBrowser browser;
    std::deque<int> rows;
};

TEST_F(OptionDialogTest, OkStoresWhatIsShownMarksTheSettingsChangedAndAppliesThemAtOnce) {
    for (const auto& [change, stored] :
         {std::pair<Step, std::wstring>{[](HWND) {},
                                        L"20 rows 5 s 5000 ms [C:\\inetpub\\logs\\] changed, oldest row 1"},
          {MoveSlider(IdSldNum, 8), L"8 rows 5 s 5000 ms [C:\\inetpub\\logs\\] changed, oldest row 13"},
          {MoveSlider(IdSldSecond, 1), L"20 rows 1 s 1000 ms [C:\\inetpub\\logs\\] changed, oldest row 1"},
          {MoveSlider(IdSldSecond, 10), L"20 rows 10 s 10000 ms [C:\\inetpub\\logs\\] changed, oldest row 1"},
          {TypePath(L"D:\\logs"), L"20 rows 5 s 5000 ms [D:\\logs] changed, oldest row 1"},
          {TypePath(L" D:\\web logs "), L"20 rows 5 s 5000 ms [ D:\\web logs ] changed, oldest row 1"}}) {
        Reset();
        Open({change, Click(IdCmdOk)});
        EXPECT_EQ(Stored(), stored);
    }
}

// Checks made inside a step run for certain: Open fails when the dialog closes before its last step.
Step Expect(std::wstring path, int seconds, int rowLimit) {
    return [=](HWND dialog) {
        EXPECT_EQ(PathText(dialog), path);
        EXPECT_EQ(SliderPosition(dialog, IdSldSecond), seconds);
        EXPECT_EQ(SliderPosition(dialog, IdSldNum), rowLimit);
    };
}

TEST_F(OptionDialogTest, CancelAndTheCloseBoxStoreNothingAndTheNextOpeningStartsAfresh) {
    browser.Results = {L"E:\\w3svc1"};
    Open({MoveSlider(IdSldNum, 3), MoveSlider(IdSldSecond, 9), Click(IdCmdSelect),
          Expect(L"E:\\w3svc1\\", 9, 3), Click(IdCmdCancel)});
    EXPECT_EQ(Stored(), unchanged);
    Open({Expect(L"C:\\inetpub\\logs\\", 5, 20), MoveSlider(IdSldNum, 3), TypePath(L"F:\\"), CloseBox()});
    EXPECT_EQ(Stored(), unchanged);
}

TEST_F(OptionDialogTest, StoredValuesOutsideTheSliderRangesShowAsTheNearestEnd) {
    state.UpdateSeconds = 0;
    state.RowLimit = 500;
    Open({Expect(state.LogFolder, 1, 50), Click(IdCmdOk)});
    EXPECT_EQ(Stored(), L"50 rows 1 s 1000 ms [C:\\inetpub\\logs\\] changed, oldest row 1");
    state.UpdateSeconds = 99;
    state.RowLimit = -3;
    Open({Expect(state.LogFolder, 10, 1), Click(IdCmdOk)});
    EXPECT_EQ(Stored(), L"1 rows 10 s 10000 ms [C:\\inetpub\\logs\\] changed, oldest row 20");
}

TEST_F(OptionDialogTest, SlidersStepByTheirSmallAndLargeStepsWithinTheirRanges) {
    std::vector<int> seen;
    const auto see = [&](OptionControlId id) {
        return Step([&seen, id](HWND dialog) { seen.push_back(SliderPosition(dialog, id)); });
    };
    Open({Focus(IdSldSecond), PressKey(VK_NEXT), see(IdSldSecond), PressKey(VK_RIGHT), see(IdSldSecond),
          PressKey(VK_NEXT), see(IdSldSecond), PressKey(VK_HOME), see(IdSldSecond), Focus(IdSldNum),
          PressKey(VK_NEXT), see(IdSldNum), PressKey(VK_LEFT), see(IdSldNum), PressKey(VK_END), see(IdSldNum),
          CloseBox()});
    EXPECT_EQ(seen, (std::vector<int>{8, 9, 10, 1, 25, 24, 50}));
}

TEST_F(OptionDialogTest, FolderPickerResultsFillThePathBoxEndingWithABackslash) {
    std::vector<Step> steps;
    for (const auto& [picked, shown] : {std::pair<std::wstring, std::wstring>{L"", L"C:\\inetpub\\logs\\"},
                                        {L"D:\\logs\\w3svc1", L"D:\\logs\\w3svc1\\"},
                                        {L"   ", L"D:\\logs\\w3svc1\\"},
                                        {L"C:\\", L"C:\\"},
                                        {L"  E:\\web logs  ", L"E:\\web logs\\"}}) {
        browser.Results.push_back(picked);
        steps.insert(steps.end(), {Click(IdCmdSelect), [this, shown](HWND dialog) {
                                       EXPECT_EQ(PathText(dialog), shown);
                                       EXPECT_EQ(browser.Owners.back(), dialog);
                                   }});
    }
    steps.push_back(Click(IdCmdOk));
    Open(std::move(steps));
    EXPECT_EQ(state.LogFolder, L"E:\\web logs\\");
}

TEST_F(OptionDialogTest, EnterAndEscapeDoNothingAndTabWalksFromTheFolderButtonThroughTheFocusOrder) {
    std::vector<int> focused;
    const Step seeFocus = [&](HWND) { focused.push_back(::GetDlgCtrlID(::GetFocus())); };
    std::vector<Step> steps{seeFocus};
    for (int press = 0; press < 6; ++press) {
        steps.insert(steps.end(), {PressKey(VK_RETURN), PressKey(VK_ESCAPE), PressKey(VK_TAB), seeFocus});
    }
    steps.push_back(CloseBox());
    Open(std::move(steps));
    EXPECT_EQ(focused, (std::vector<int>{IdCmdSelect, IdTxtPath, IdCmdOk, IdCmdCancel, IdSldSecond, IdSldNum,
                                         IdCmdSelect}));
    EXPECT_EQ(Stored(), unchanged);
}

int mainTicks = 0;

TEST_F(OptionDialogTest, OtherWindowsTakeNoInputWhileOpenButKeepTheirTimers) {
    const auto create = [](DWORD style) {
        return win::WindowHandle(::CreateWindowExW(0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW | style, 0, 0, 200,
                                                   100, nullptr, nullptr, nullptr, nullptr));
    };
    const win::WindowHandle mainWindow = create(WS_VISIBLE);
    const win::WindowHandle disabledWindow = create(WS_DISABLED);
    mainTicks = 0;
    ::SetTimer(mainWindow.Get(), 1, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++mainTicks; });
    int ticksWhenOpened = 0;
    Open({[&](HWND) {
              EXPECT_FALSE(::IsWindowEnabled(mainWindow.Get()));
              ticksWhenOpened = mainTicks;
          },
          [](HWND) {}, [](HWND) {}, [](HWND) {}, [&](HWND) { EXPECT_GT(mainTicks, ticksWhenOpened); },
          Click(IdCmdOk)});
    ::KillTimer(mainWindow.Get(), 1);
    EXPECT_TRUE(::IsWindowEnabled(mainWindow.Get()));
    EXPECT_FALSE(::IsWindowEnabled(disabledWindow.Get()));
}

TEST_F(OptionDialogTest, LayoutIsTheDesignInTwipsAtTheScreenDpi) {
    Open({[](HWND dialog) {
              const int dpi = win::WindowDpi(dialog);
              std::array<wchar_t, 64> caption{};
              ::GetWindowTextW(dialog, caption.data(), 64);
              EXPECT_EQ(std::wstring(caption.data()), L"corvin 's tarnwatch - Option");
              RECT bounds{};
              ::GetClientRect(dialog, &bounds);
              EXPECT_EQ(bounds.right, win::TwipsToPixels(7170, dpi));
              EXPECT_EQ(bounds.bottom, win::TwipsToPixels(2265, dpi));
              EXPECT_EQ(::GetWindowLongPtrW(dialog, GWL_STYLE) &
                            (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                        0);
              // "..." lies in the frame, whose left edge is at 120 twips; OK lies on the dialog itself.
              for (const auto& [id, left] : {std::pair{IdCmdSelect, 120 + 5400}, {IdCmdOk, 6120}}) {
                  ::GetWindowRect(::GetDlgItem(dialog, id), &bounds);
                  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
                  EXPECT_EQ(bounds.left, win::TwipsToPixels(left, dpi)) << id;
              }
              for (const auto& [id, weight] : {std::pair{IdCmdSelect, FW_BOLD}, {IdTxtPath, FW_NORMAL}}) {
                  LOGFONTW font{};
                  ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0)),
                               sizeof(font), &font);
                  EXPECT_EQ(font.lfWeight, weight) << id;
                  EXPECT_EQ(font.lfHeight, win::PointsToFontHeight(9.75, dpi));
                  EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
              }
          },
          CloseBox()});
}

} // namespace
} // namespace tarnwatch::ui
