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

const Entries Loaded{L"10.0.0.1", L"10.0.0.2"};

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

Step ExpectShown(Entries rows, std::wstring count, std::wstring typed) {
    return [=](HWND dialog) {
        EXPECT_EQ(ColumnTexts(Item(dialog, Id::lvwIp), 0), rows);
        EXPECT_EQ(TextOf(dialog, Id::lblText), L"Total Filter IP Is " + count);
        ExpectTyped(typed)(dialog);
    };
}

class FrmFilterTest : public ::testing::Test {
protected:
    FrmFilterTest() {
        current.RowLimit = 20;
        current.FilterIps = Loaded;
    }

    SettingsOutcome Open(std::vector<Step> steps) {
        SettingsOutcome outcome;
        Play(FrmFilter::ClassName, std::move(steps),
             [&] { outcome = FrmFilter(boxes, current).Show(::GetModuleHandleW(nullptr)); });
        return outcome;
    }

    Settings current;
    testing::ScriptedBoxes boxes;
};

TEST_F(FrmFilterTest, DeletingEveryEntryAndConfirmingStoresTheLocalAddress) {
    const SettingsOutcome outcome =
        Open({ExpectShown(Loaded, L"2", L""), ClickRow(1), ExpectTyped(L"10.0.0.2"), Click(Id::cmdDel),
              ExpectShown({L"10.0.0.1"}, L"1", L""), ClickRow(0), Click(Id::cmdDel),
              ExpectShown({}, L"0", L""), Click(Id::cmdOk)});
    ASSERT_TRUE(outcome.NewSettings.has_value());
    EXPECT_EQ(outcome.NewSettings->FilterIps, Entries{L"127.0.0.1"});
    EXPECT_EQ(outcome.NewSettings->RowLimit, 20) << "the other settings as they were";
    EXPECT_TRUE(outcome.Unsaved);
}

TEST_F(FrmFilterTest, AnAddedEntryIsListedCanonicalAndMarksTheSettingsChangedButOnlyOkStoresIt) {
    const Entries added{L"10.0.0.1", L"10.0.0.2", L"192.168.1.10"};
    // Del with nothing selected removes nothing and only clears the box.
    const SettingsOutcome outcome =
        Open({Type(L"192.168.001.010"), Click(Id::cmdAdd), ExpectShown(added, L"3", L"192.168.001.010"),
              Click(Id::cmdDel), ExpectShown(added, L"3", L""), Click(Id::cmdCancel)});
    EXPECT_FALSE(outcome.NewSettings.has_value());
    EXPECT_TRUE(outcome.Unsaved) << "Add counts as unsaved at once";
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(FrmFilterTest, AddRefusesPastedTextAndAPickedEntryEachWithItsBox) {
    const std::wstring fortyDigits(40, L'9');
    const SettingsOutcome outcome =
        Open({Paste(Id::txtIp, L"1.2." + fortyDigits + L".4"), Click(Id::cmdAdd), ClickRow(0),
              Click(Id::cmdAdd), ExpectShown(Loaded, L"2", L"10.0.0.1"), Click(Id::cmdCancel)});
    EXPECT_FALSE(outcome.Unsaved) << "a refused Add changes nothing";
    ASSERT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(boxes.Shown[0].Text,
              fortyDigits + L" Is Invaild Ip Number, Please Input Number Between 0 And 255")
        << "the pasted text is read whole, longer than typing allows";
    EXPECT_EQ(boxes.Shown[0].Title, L"Add IP");
    EXPECT_EQ(boxes.Shown[1].Text, L"The Current IP -> 10.0.0.1\r\nHas Existed, The Current Ip Can't be Add");
    EXPECT_EQ(boxes.Shown[1].Title, L"Filter IP");
    EXPECT_EQ(boxes.Shown[1].Icon, BoxIcon::Exclamation);
}

TEST_F(FrmFilterTest, TheBoxTakesSixteenTypedDigitsAndFullStopsAndBackspaceOnly) {
    Open({Type(L"1a2 .*3-4\r"), ExpectTyped(L"12.34"), Type(L"\b\b\b\b\b12345678901234567"),
          ExpectTyped(L"1234567890123456"), Type(L"\b7"), ExpectTyped(L"1234567890123457"), CloseBox()});
}

} // namespace
} // namespace tarnwatch::ui
