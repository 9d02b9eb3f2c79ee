// Adding an address through the dialog and its effect on the list are seen from outside the exe; what an
// address may be, and the refusals' words, are the engine's.
#include "ui/dialogs/frm_filter.h"

#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

using Id = FrmFilter::Id;
using Entries = std::vector<std::wstring>;

// Each character posted as a keystroke's character is, so that it passes the box's key filter.
Step Type(std::wstring text) {
    return [text](HWND dialog) {
        for (const wchar_t character : text) {
            ::PostMessageW(Item(dialog, Id::txtIp), WM_CHAR, character, 0);
        }
    };
}

// A click with the mouse on the row's text.
Step ClickRow(int row) {
    return [row](HWND dialog) {
        RECT bounds{};
        ListView_GetItemRect(Item(dialog, Id::lvwIp), row, &bounds, LVIR_LABEL);
        const LPARAM point = MAKELPARAM(bounds.left + 2, bounds.top + 2);
        ::SendMessageW(Item(dialog, Id::lvwIp), WM_LBUTTONDOWN, MK_LBUTTON, point);
        ::SendMessageW(Item(dialog, Id::lvwIp), WM_LBUTTONUP, 0, point);
    };
}

Step ExpectTyped(std::wstring typed) {
    return [typed](HWND dialog) { EXPECT_EQ(TextOf(dialog, Id::txtIp), typed); };
}

// The rows, and the count below them.
Step ExpectRows(Entries rows) {
    return [rows](HWND dialog) {
        EXPECT_EQ(ColumnTexts(Item(dialog, Id::lvwIp), 0), rows);
        EXPECT_TRUE(TextOf(dialog, Id::lblText).ends_with(L" " + std::to_wstring(rows.size())));
    };
}

class FrmFilterTest : public ::testing::Test {
protected:
    SettingsOutcome Open(std::vector<Step> steps) {
        SettingsOutcome outcome;
        Play(FrmFilter::ClassName, std::move(steps),
             [&] { outcome = FrmFilter(boxes, current).Show(::GetModuleHandleW(nullptr)); });
        return outcome;
    }

    // Entries are shown and given back as they were written, whatever spelling they have.
    const Entries loaded{L"010.0.0.1", L"10.0.0.2"};
    Settings current{20, 5, L"C:\\", loaded};
    testing::ScriptedBoxes boxes;
};

TEST_F(FrmFilterTest, OkGivesTheEntriesAsLoadedAndAnEmptiedListAsTheLocalAddress) {
    const SettingsOutcome untouched = Open({ExpectRows(loaded), Click(Id::cmdOk)});
    EXPECT_EQ(untouched.NewSettings, current);
    EXPECT_TRUE(untouched.Unsaved);
    const SettingsOutcome emptied =
        Open({ClickRow(1), ExpectTyped(L"10.0.0.2"), Click(Id::cmdDel), ExpectRows({L"010.0.0.1"}),
              ClickRow(0), Click(Id::cmdDel), ExpectRows({}), Click(Id::cmdOk)});
    ASSERT_TRUE(emptied.NewSettings.has_value());
    EXPECT_EQ(emptied.NewSettings->FilterIps, Entries{L"127.0.0.1"});
}

// Add counts as unsaved at once, even when the dialog is cancelled; Del with nothing selected only clears the
// box.
TEST_F(FrmFilterTest, AddAndDelCountAsUnsavedEvenWhenCancelledButARefusedAddChangesNothing) {
    const SettingsOutcome added =
        Open({Type(L"10.0.0.3"), Click(Id::cmdAdd), Click(Id::cmdDel), ExpectTyped(L""),
              ExpectRows({L"010.0.0.1", L"10.0.0.2", L"10.0.0.3"}), Click(Id::cmdCancel)});
    EXPECT_FALSE(added.NewSettings.has_value());
    EXPECT_TRUE(added.Unsaved);
    EXPECT_TRUE(boxes.Shown.empty());

    const SettingsOutcome refused = Open({Paste(Id::txtIp, L"1.2." + std::wstring(40, L'9') + L".4"),
                                          Click(Id::cmdAdd), ExpectRows(loaded), Click(Id::cmdCancel)});
    EXPECT_FALSE(refused.Unsaved);
    EXPECT_EQ(boxes.Shown.size(), 1u);
}

TEST_F(FrmFilterTest, TheBoxTakesNoMoreThanSixteenTypedDigitsAndFullStops) {
    Open({Type(L"1a2 .*3-4\r"), ExpectTyped(L"12.34"), Type(L"\b\b\b\b\b12345678901234567"),
          ExpectTyped(L"1234567890123456"), CloseBox()});
}

} // namespace
} // namespace tarnwatch::ui
