#include "dialogs/option_dialog.h"
#include "option_dialog_user.h"

#include "../engine/fakes.h"
#include "dpi.h"
#include "twips.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

class OptionDialogTest : public ::testing::Test {
protected:
    OptionDialogTest() {
        state.RowLimit = 20;
        state.UpdateSeconds = 5;
        state.LogFolder = L"C:\\inetpub\\logs\\";
        timer.IntervalMs = 5000;
        timer.Enabled = true;
    }

    // Shows the dialog and plays the steps; returns once the dialog has closed.
    void Open(std::vector<Step> steps) {
        const ScriptedUser user(std::move(steps));
        OptionDialogContext context{state, timer, [this] { TrimRows(); }, browser};
        ShowOptionDialog(::GetModuleHandleW(nullptr), context);
        EXPECT_FALSE(user.GaveUp()) << "the dialog stayed open";
        EXPECT_EQ(user.StepsLeft(), 0U) << "the dialog closed early";
    }

    // Stands in for the monitor list: keeps the newest rows up to the row limit in force.
    void TrimRows() {
        ++trimCalls;
        while (static_cast<std::int32_t>(rows.size()) > state.RowLimit) {
            rows.pop_front();
        }
    }

    void ExpectNothingStored() {
        EXPECT_EQ(state.RowLimit, 20);
        EXPECT_EQ(state.UpdateSeconds, 5);
        EXPECT_EQ(state.LogFolder, L"C:\\inetpub\\logs\\");
        EXPECT_FALSE(state.SettingsDirty);
        EXPECT_EQ(trimCalls, 0);
        EXPECT_EQ(timer.IntervalMs, 5000);
    }

    SharedState state;
    testing::RecordingTimer timer;
    FakeFolderBrowser browser;
    std::deque<int> rows;
    int trimCalls = 0;
};

TEST_F(OptionDialogTest, OkWithoutChangesKeepsTheValuesButMarksTheSettingsChanged) {
    Open({Click(IdCmdOk)});

    EXPECT_EQ(state.RowLimit, 20);
    EXPECT_EQ(state.UpdateSeconds, 5);
    EXPECT_EQ(state.LogFolder, L"C:\\inetpub\\logs\\");
    EXPECT_TRUE(state.SettingsDirty);
    EXPECT_EQ(trimCalls, 1);
    EXPECT_EQ(timer.IntervalMs, 5000);
}

TEST_F(OptionDialogTest, LoweringTheRowLimitRemovesTheOldestRowsAtOnce) {
    rows.resize(20);
    std::iota(rows.begin(), rows.end(), 1);

    Open({MoveSlider(IdSldNum, 8), Click(IdCmdOk)});

    EXPECT_EQ(state.RowLimit, 8);
    EXPECT_EQ(rows, (std::deque<int>{13, 14, 15, 16, 17, 18, 19, 20}));
}

TEST_F(OptionDialogTest, OkSetsTheNewPollingPeriodWithoutSwitchingTheTimerOn) {
    timer.Enabled = false;

    Open({MoveSlider(IdSldSecond, 1), Click(IdCmdOk)});
    EXPECT_EQ(state.UpdateSeconds, 1);
    EXPECT_EQ(timer.IntervalMs, 1000);

    Open({MoveSlider(IdSldSecond, 10), Click(IdCmdOk)});
    EXPECT_EQ(state.UpdateSeconds, 10);
    EXPECT_EQ(timer.IntervalMs, 10000);
    EXPECT_FALSE(timer.Enabled);
}

TEST_F(OptionDialogTest, TypedFolderIsStoredExactlyAsTyped) {
    Open({TypePath(L"D:\\logs"), Click(IdCmdOk)});
    EXPECT_EQ(state.LogFolder, L"D:\\logs");

    Open({TypePath(L" D:\\web logs "), Click(IdCmdOk)});
    EXPECT_EQ(state.LogFolder, L" D:\\web logs ");
}

TEST_F(OptionDialogTest, CancelAndTheCloseBoxStoreNothingAndTheNextOpeningStartsAfresh) {
    browser.Results = {L"E:\\w3svc1"};
    std::wstring pickedPath;
    std::wstring reopenedPath;
    int reopenedRowSlider = 0;

    Open({MoveSlider(IdSldNum, 3), MoveSlider(IdSldSecond, 9), Click(IdCmdSelect),
          Step([&](HWND dialog) { pickedPath = PathText(dialog); }), Click(IdCmdCancel)});
    EXPECT_EQ(pickedPath, L"E:\\w3svc1\\");
    ExpectNothingStored();

    Open({Step([&](HWND dialog) {
              reopenedPath = PathText(dialog);
              reopenedRowSlider = SliderPosition(dialog, IdSldNum);
          }),
          MoveSlider(IdSldNum, 3), TypePath(L"F:\\"), CloseBox()});
    EXPECT_EQ(reopenedPath, L"C:\\inetpub\\logs\\");
    EXPECT_EQ(reopenedRowSlider, 20);
    ExpectNothingStored();
}

TEST_F(OptionDialogTest, StoredValuesOutsideTheSliderRangesShowAsTheNearestEnd) {
    struct Case {
        std::int32_t UpdateSeconds;
        std::int32_t RowLimit;
        int ShownSeconds;
        int ShownRows;
    };
    for (const Case& test : {Case{0, 500, 1, 50}, Case{99, -3, 10, 1}}) {
        state.UpdateSeconds = test.UpdateSeconds;
        state.RowLimit = test.RowLimit;
        int shownSeconds = 0;
        int shownRows = 0;

        Open({Step([&](HWND dialog) {
                  shownSeconds = SliderPosition(dialog, IdSldSecond);
                  shownRows = SliderPosition(dialog, IdSldNum);
              }),
              Click(IdCmdOk)});

        EXPECT_EQ(shownSeconds, test.ShownSeconds);
        EXPECT_EQ(shownRows, test.ShownRows);
        EXPECT_EQ(state.UpdateSeconds, test.ShownSeconds);
        EXPECT_EQ(state.RowLimit, test.ShownRows);
    }
}

TEST_F(OptionDialogTest, SlidersStepByTheirSmallAndLargeStepsWithinTheirRanges) {
    std::vector<int> secondsSeen;
    std::vector<int> rowsSeen;
    const auto seeSeconds =
        Step([&](HWND dialog) { secondsSeen.push_back(SliderPosition(dialog, IdSldSecond)); });
    const auto seeRows = Step([&](HWND dialog) { rowsSeen.push_back(SliderPosition(dialog, IdSldNum)); });

    Open({Focus(IdSldSecond), PressKey(VK_NEXT), seeSeconds, PressKey(VK_RIGHT), seeSeconds,
          PressKey(VK_NEXT), seeSeconds, PressKey(VK_HOME), seeSeconds, Focus(IdSldNum), PressKey(VK_NEXT),
          seeRows, PressKey(VK_LEFT), seeRows, PressKey(VK_END), seeRows, CloseBox()});

    EXPECT_EQ(secondsSeen, (std::vector<int>{8, 9, 10, 1}));
    EXPECT_EQ(rowsSeen, (std::vector<int>{25, 24, 50}));
}

TEST_F(OptionDialogTest, FolderBrowserResultsFillThePathBoxEndingWithABackslash) {
    browser.Results = {L"", L"D:\\logs\\w3svc1", L"   ", L"C:\\", L"  E:\\web logs  "};
    std::vector<std::wstring> shown;
    HWND dialogWindow = nullptr;
    std::vector<Step> steps{[&](HWND dialog) { dialogWindow = dialog; }};
    for (std::size_t pick = 0; pick < browser.Results.size(); ++pick) {
        steps.push_back(Click(IdCmdSelect));
        steps.push_back([&](HWND dialog) { shown.push_back(PathText(dialog)); });
    }
    steps.push_back(Click(IdCmdOk));

    Open(std::move(steps));

    EXPECT_EQ(shown, (std::vector<std::wstring>{L"C:\\inetpub\\logs\\", L"D:\\logs\\w3svc1\\",
                                                L"D:\\logs\\w3svc1\\", L"C:\\", L"E:\\web logs\\"}));
    EXPECT_EQ(state.LogFolder, L"E:\\web logs\\");
    EXPECT_EQ(browser.Owners, std::vector<HWND>(5, dialogWindow));
    EXPECT_EQ(browser.Titles, std::vector<std::wstring>(5, L"Select the Logfile Folder"));
}

TEST_F(OptionDialogTest, EnterAndEscapeNeitherConfirmNorCancel) {
    Open({PressKey(VK_RETURN), PressKey(VK_ESCAPE), Focus(IdTxtPath), PressKey(VK_RETURN),
          PressKey(VK_ESCAPE), Focus(IdCmdOk), PressKey(VK_RETURN), Focus(IdCmdCancel), PressKey(VK_ESCAPE),
          PressKey(VK_RETURN), Step([](HWND dialog) { EXPECT_TRUE(::IsWindowVisible(dialog)); }),
          CloseBox()});

    EXPECT_FALSE(state.SettingsDirty);
}

TEST_F(OptionDialogTest, TabWalksFromTheFolderButtonThroughTheFocusOrder) {
    std::vector<int> focused;
    const auto seeFocus = Step([&](HWND) { focused.push_back(::GetDlgCtrlID(::GetFocus())); });
    std::vector<Step> steps{seeFocus};
    for (int press = 0; press < 6; ++press) {
        steps.push_back(PressKey(VK_TAB));
        steps.push_back(seeFocus);
    }
    steps.push_back(CloseBox());

    Open(std::move(steps));

    EXPECT_EQ(focused, (std::vector<int>{IdCmdSelect, IdTxtPath, IdCmdOk, IdCmdCancel, IdSldSecond, IdSldNum,
                                         IdCmdSelect}));
}

int mainTicks = 0;
void CALLBACK CountMainTick(HWND, UINT, UINT_PTR, DWORD) {
    ++mainTicks;
}

TEST_F(OptionDialogTest, OtherWindowsTakeNoInputWhileOpenButKeepTheirTimers) {
    const win::WindowHandle mainWindow(::CreateWindowExW(0, WC_STATICW, L"main",
                                                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                                         nullptr, nullptr, nullptr, nullptr));
    const win::WindowHandle disabledWindow(::CreateWindowExW(
        0, WC_STATICW, L"disabled", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    ::EnableWindow(disabledWindow.Get(), FALSE);
    mainTicks = 0;
    ::SetTimer(mainWindow.Get(), 1, 10, &CountMainTick);
    bool mainEnabledMeanwhile = true;
    int ticksWhenOpened = 0;

    Open({Step([&](HWND) {
              mainEnabledMeanwhile = ::IsWindowEnabled(mainWindow.Get()) != FALSE;
              ticksWhenOpened = mainTicks;
          }),
          [](HWND) {}, [](HWND) {}, [](HWND) {}, Step([&](HWND) { EXPECT_GT(mainTicks, ticksWhenOpened); }),
          Click(IdCmdOk)});
    ::KillTimer(mainWindow.Get(), 1);

    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(mainWindow.Get()));
    EXPECT_FALSE(::IsWindowEnabled(disabledWindow.Get()));
}

TEST_F(OptionDialogTest, LayoutIsTheDesignInTwipsAtTheScreenDpi) {
    RECT client{};
    RECT select{};
    RECT ok{};
    LONG_PTR style = 0;
    std::wstring caption(64, L'\0');
    LOGFONTW selectFont{};
    LOGFONTW pathFont{};
    int dpi = 0;
    const auto fontOf = [](HWND control, LOGFONTW& font) {
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    };
    const auto clientRectOf = [](HWND dialog, OptionControlId id, RECT& rect) {
        ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    };

    Open({Step([&](HWND dialog) {
              dpi = win::WindowDpi(dialog);
              ::GetClientRect(dialog, &client);
              clientRectOf(dialog, IdCmdSelect, select);
              clientRectOf(dialog, IdCmdOk, ok);
              style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
              caption.resize(static_cast<std::size_t>(::GetWindowTextW(dialog, caption.data(), 64)));
              fontOf(::GetDlgItem(dialog, IdCmdSelect), selectFont);
              fontOf(::GetDlgItem(dialog, IdTxtPath), pathFont);
          }),
          CloseBox()});

    EXPECT_EQ(caption, L"corvin 's tarnwatch - Option");
    EXPECT_EQ(client.right, win::TwipsToPixels(7170, dpi));
    EXPECT_EQ(client.bottom, win::TwipsToPixels(2265, dpi));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    // "..." lies in the frame, whose left edge is at 120 twips; OK lies on the dialog itself.
    EXPECT_EQ(select.left, win::TwipsToPixels(120 + 5400, dpi));
    EXPECT_EQ(ok.left, win::TwipsToPixels(6120, dpi));
    EXPECT_EQ(selectFont.lfWeight, FW_BOLD);
    EXPECT_EQ(pathFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(pathFont.lfHeight, win::PointsToFontHeight(9.75, dpi));
    EXPECT_EQ(std::wstring(pathFont.lfFaceName), L"Tahoma");
}

} // namespace
} // namespace tarnwatch::ui
