// The modal dialogs, played by a user from inside their own modal loops. Adding an address through the filter
// dialog and its effect on the list are seen from outside the exe; what an address may be, and the refusals'
// words, are the engine's.
#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/dialogs/frm_option.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

using OptionId = FrmOption::Id;
using FilterId = FrmFilter::Id;
using Entries = std::vector<std::wstring>;

// Each character posted as a keystroke's character is, so that it passes the box's key filter.
Step Type(std::wstring text) {
    return [text](HWND dialog) {
        for (const wchar_t character : text) {
            ::PostMessageW(Item(dialog, FilterId::txtIp), WM_CHAR, character, 0);
        }
    };
}

// A click with the mouse on the row's text.
Step ClickRow(int row) {
    return [row](HWND dialog) {
        RECT bounds{};
        ListView_GetItemRect(Item(dialog, FilterId::lvwIp), row, &bounds, LVIR_LABEL);
        const LPARAM point = MAKELPARAM(bounds.left + 2, bounds.top + 2);
        ::SendMessageW(Item(dialog, FilterId::lvwIp), WM_LBUTTONDOWN, MK_LBUTTON, point);
        ::SendMessageW(Item(dialog, FilterId::lvwIp), WM_LBUTTONUP, 0, point);
    };
}

template <typename Id> Step ExpectText(Id id, std::wstring text) {
    return [id, text](HWND dialog) { EXPECT_EQ(TextOf(dialog, id), text); };
}

// The filter dialog's rows, and the count below them.
Step ExpectRows(Entries rows) {
    return [rows](HWND dialog) {
        EXPECT_EQ(ColumnTexts(Item(dialog, FilterId::lvwIp), 0), rows);
        EXPECT_TRUE(TextOf(dialog, FilterId::lblText).ends_with(L" " + std::to_wstring(rows.size())));
    };
}

template <typename Id> Step Focus(Id id) {
    return [id](HWND window) { ::SetFocus(Item(window, id)); };
}

const std::wstring StoredFolder = L"C:\\inetpub\\logs\\";

class DialogTest : public ::testing::Test {
protected:
    template <typename Dialog, typename Data> SettingsOutcome Open(std::deque<Step> steps, Data& data) {
        SettingsOutcome outcome;
        Play(Dialog::ClassName, std::move(steps), [&] { outcome = Dialog(boxes, data).Show(instance); });
        return outcome;
    }
    SettingsOutcome OpenOptions(std::deque<Step> steps) { return Open<FrmOption>(std::move(steps), context); }
    SettingsOutcome OpenFilter(std::deque<Step> steps) { return Open<FrmFilter>(std::move(steps), current); }

    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Filter entries are shown and given back as they were written, whatever their spelling.
    const Entries loaded{L"010.0.0.1", L"10.0.0.2"};
    Settings current{20, 5, StoredFolder, loaded};
    testing::ScriptedBoxes boxes;
    FakeFolderBrowser browser;
    FrmOptionContext context{current, browser};
};

TEST_F(DialogTest, OptionsOkGivesWhatIsShownCountedAsUnsavedAndCancelOrTheCloseBoxNothing) {
    const SettingsOutcome unchanged = OpenOptions({Click(OptionId::cmdOk)});
    EXPECT_EQ(unchanged.NewSettings, current);
    EXPECT_TRUE(unchanged.Unsaved) << "even when nothing changed";
    // Read whole and untrimmed, longer than any field's typing allows.
    const std::wstring path = L" D:\\web logs\\" + std::wstring(300, L'x');
    const SettingsOutcome changed =
        OpenOptions({MoveSlider(OptionId::sldNum, 8), MoveSlider(OptionId::sldSecond, 9),
                     Paste(OptionId::txtPath, path), Click(OptionId::cmdOk)});
    EXPECT_EQ(changed.NewSettings, (Settings{8, 9, path, loaded}));
    for (const Step& close : {Click(OptionId::cmdCancel), CloseBox()}) {
        const SettingsOutcome outcome =
            OpenOptions({MoveSlider(OptionId::sldNum, 3), Paste(OptionId::txtPath, L"F:\\"), close});
        EXPECT_FALSE(outcome.NewSettings.has_value());
        EXPECT_FALSE(outcome.Unsaved);
    }
}

TEST_F(DialogTest, OptionsFolderPickerResultsFillThePathBoxEndingWithABackslash) {
    std::deque<Step> steps;
    for (const auto& [picked, shown] : {std::pair<std::wstring, std::wstring>{L"", StoredFolder},
                                        {L"C:\\", L"C:\\"},
                                        {L"  E:\\web logs  ", L"E:\\web logs\\"}}) {
        browser.Results.push_back(picked);
        steps.insert(steps.end(), {Click(OptionId::cmdSelect), ExpectText(OptionId::txtPath, shown)});
    }
    steps.push_back([this](HWND dialog) { EXPECT_EQ(browser.Owners.back(), dialog); });
    steps.push_back(Click(OptionId::cmdOk));
    EXPECT_EQ(OpenOptions(std::move(steps)).NewSettings.value().LogFolder, L"E:\\web logs\\");
}

TEST_F(DialogTest, FilterOkGivesTheEntriesAsLoadedAndAnEmptiedListAsTheLocalAddress) {
    const SettingsOutcome untouched = OpenFilter({ExpectRows(loaded), Click(FilterId::cmdOk)});
    EXPECT_EQ(untouched.NewSettings, current);
    EXPECT_TRUE(untouched.Unsaved);
    const SettingsOutcome emptied =
        OpenFilter({ClickRow(1), ExpectText(FilterId::txtIp, L"10.0.0.2"), Click(FilterId::cmdDel),
                    ExpectRows({L"010.0.0.1"}), ClickRow(0), Click(FilterId::cmdDel), ExpectRows({}),
                    Click(FilterId::cmdOk)});
    EXPECT_EQ(emptied.NewSettings.value().FilterIps, Entries{L"127.0.0.1"});
}

// Add counts as unsaved at once, even when the dialog is cancelled; Del with nothing selected only clears the
// box. The box takes no more than sixteen typed digits and full stops.
TEST_F(DialogTest, FilterAddCountsAsUnsavedEvenWhenCancelledButARefusedAddChangesNothing) {
    const SettingsOutcome added =
        OpenFilter({Type(L"1a0 .*0-.0.3"), Click(FilterId::cmdAdd), Click(FilterId::cmdDel),
                    ExpectText(FilterId::txtIp, L""), ExpectRows({L"010.0.0.1", L"10.0.0.2", L"10.0.0.3"}),
                    Click(FilterId::cmdCancel)});
    EXPECT_FALSE(added.NewSettings.has_value());
    EXPECT_TRUE(added.Unsaved);
    EXPECT_TRUE(boxes.Shown.empty());

    const SettingsOutcome refused =
        OpenFilter({Type(L"1.2.3.45678901234567"), ExpectText(FilterId::txtIp, L"1.2.3.4567890123"),
                    Click(FilterId::cmdAdd), ExpectRows(loaded), Click(FilterId::cmdCancel)});
    EXPECT_FALSE(refused.Unsaved);
    EXPECT_EQ(boxes.Shown.size(), 1u);
}

// Each window closes on the key, or Play fails it for staying open.
TEST_F(DialogTest, EnterPressesTheFocusedButtonOfEveryModalWindowAndEnterOrEscCloseTheAboutBox) {
    for (const Step& close : {Focus(FrmAbout::Id::Command1), Step([](HWND about) { ::SetFocus(about); })}) {
        for (const UINT key : {VK_RETURN, VK_ESCAPE}) {
            Play(FrmAbout::ClassName, {close, PressKey(key)}, [&] { FrmAbout(boxes).Show(instance); });
        }
    }
    EXPECT_TRUE(OpenOptions({Focus(OptionId::cmdOk), PressKey(VK_RETURN)}).NewSettings.has_value());
    EXPECT_TRUE(OpenFilter({Focus(FilterId::cmdOk), PressKey(VK_RETURN)}).NewSettings.has_value());
}

// Enter away from the buttons, and Esc, acting as OK or Cancel would close the dialog before its last step.
TEST_F(DialogTest, InTheOptionsEnterAwayFromTheButtonsAndEscDoNothingAndTabReachesEveryControlInTurn) {
    std::size_t tabStops = 0;
    const Step countTabStops = [&](HWND dialog) {
        for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
             control = ::GetWindow(control, GW_HWNDNEXT)) {
            tabStops += (::GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0 ? 1 : 0;
        }
    };
    std::vector<HWND> focused;
    std::deque<Step> steps{countTabStops, Focus(OptionId::txtPath), PressKey(VK_RETURN), PressKey(VK_ESCAPE)};
    for (int press = 0; press < 8; ++press) {
        steps.insert(steps.end(), {PressKey(VK_TAB), [&](HWND) { focused.push_back(::GetFocus()); }});
    }
    steps.push_back(CloseBox());
    EXPECT_FALSE(OpenOptions(std::move(steps)).Unsaved);
    EXPECT_EQ(std::set<HWND>(focused.begin(), focused.end()).size(), tabStops);
    ASSERT_GT(focused.size(), tabStops);
    EXPECT_EQ(focused[tabStops], focused[0]) << "and round again";
}

} // namespace
} // namespace tarnwatch::ui
