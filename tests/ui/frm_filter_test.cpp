#include "ui/dialogs/frm_filter.h"

#include "tests/engine/fakes.h"
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

Entries Rows(HWND dialog) {
    Entries rows;
    const HWND list = Item(dialog, Id::lvwIp);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        wchar_t text[64] = {};
        ListView_GetItemText(list, row, 0, text, 64);
        rows.emplace_back(text);
    }
    return rows;
}

class FrmFilterTest : public ::testing::Test {
protected:
    FrmFilterTest() { state.FilterIps = {L"10.0.0.1", L"10.0.0.2"}; }

    void Open(std::vector<Step> steps) {
        const ScriptedUser user(FrmFilter::ClassName, std::move(steps));
        FrmFilter frmFilter(boxes, state);
        frmFilter.Show(::GetModuleHandleW(nullptr));
        EXPECT_FALSE(user.GaveUp()) << "the dialog stayed open";
        EXPECT_EQ(user.StepsLeft(), 0U) << "the dialog closed early";
    }

    // Checks made inside a step run for certain: Open fails when the dialog closes before its last step.
    static Step ExpectShown(Entries rows, std::wstring count, std::wstring typed) {
        return [=](HWND dialog) {
            EXPECT_EQ(Rows(dialog), rows);
            EXPECT_EQ(TextOf(dialog, Id::lblText), L"Total Filter IP Is " + count);
            EXPECT_EQ(TextOf(dialog, Id::txtIp), typed);
        };
    }

    SharedState state;
    testing::ScriptedBoxes boxes;
};

TEST_F(FrmFilterTest, DeletingEveryEntryAndConfirmingStoresTheLocalAddress) {
    Open({ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L""), ClickRow(1),
          ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L"10.0.0.2"), Click(Id::cmdDel),
          ExpectShown({L"10.0.0.1"}, L"1", L""), ClickRow(0), Click(Id::cmdDel), Click(Id::cmdDel),
          ExpectShown({}, L"0", L""), Click(Id::cmdOk)});
    EXPECT_EQ(state.FilterIps, Entries{L"127.0.0.1"});
    EXPECT_TRUE(state.SettingsDirty);
    Open({ExpectShown({L"127.0.0.1"}, L"1", L""), Click(Id::cmdCancel)});
}

TEST_F(FrmFilterTest, DeleteWithNothingSelectedStillClearsTheBoxAndMarksTheSettingsChanged) {
    Open({Type(L"1.2.3.4"), Click(Id::cmdDel), ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L""),
          CloseBox()});
    EXPECT_EQ(state.FilterIps, (Entries{L"10.0.0.1", L"10.0.0.2"}));
    EXPECT_TRUE(state.SettingsDirty);
}

TEST_F(FrmFilterTest, AddedEntriesAreCanonicalAndOnlyOkWritesThemBack) {
    Open({Type(L"192.168.001.010"), Click(Id::cmdAdd),
          ExpectShown({L"10.0.0.1", L"10.0.0.2", L"192.168.1.10"}, L"3", L"192.168.001.010"),
          Click(Id::cmdCancel)});
    EXPECT_EQ(state.FilterIps, (Entries{L"10.0.0.1", L"10.0.0.2"}));
    EXPECT_TRUE(state.SettingsDirty) << "Add marks the settings changed at once";
    EXPECT_TRUE(boxes.Shown.empty());

    state.SettingsDirty = false;
    Open({Type(L"000.0.00.0"), Click(Id::cmdAdd), Click(Id::cmdOk)});
    EXPECT_EQ(state.FilterIps, (Entries{L"10.0.0.1", L"10.0.0.2", L"0.0.0.0"}));
    EXPECT_TRUE(state.SettingsDirty);
}

TEST_F(FrmFilterTest, APickedEntryOrTheSameTextAddedTwiceIsRefusedAsListed) {
    Open({Type(L"77.1.1.1"), Click(Id::cmdAdd), Click(Id::cmdAdd), ClickRow(0),
          ExpectShown({L"10.0.0.1", L"10.0.0.2", L"77.1.1.1"}, L"3", L"10.0.0.1"), Click(Id::cmdAdd),
          Click(Id::cmdOk)});
    ASSERT_EQ(boxes.Shown.size(), 2u);
    for (const auto& [box, entry] : {std::pair{boxes.Shown[0], L"77.1.1.1"}, {boxes.Shown[1], L"10.0.0.1"}}) {
        EXPECT_EQ(box.Text, std::wstring(L"The Current IP -> ") + entry +
                                L"\r\nHas Existed, The Current Ip Can't be Add");
        EXPECT_EQ(box.Title, L"Filter IP");
        EXPECT_EQ(box.Icon, BoxIcon::Exclamation);
    }
}

TEST_F(FrmFilterTest, TheBoxTakesSixteenTypedDigitsAndFullStopsAndBackspaceOnly) {
    Open({Type(L"1a2 .*3-4\r"), ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L"12.34"), Type(L"\b\b\b\b\b"),
          Type(L"12345678901234567"), ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L"1234567890123456"),
          Type(L"\b7"), ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L"1234567890123457"), CloseBox()});
}

TEST_F(FrmFilterTest, PastedTextPastTheKeyFilterIsRefusedByAdd) {
    const std::wstring fortyDigits(40, L'9');
    Open({Paste(Id::txtIp, L"1.2.3.4.5"), Click(Id::cmdAdd), Paste(Id::txtIp, L"a.b.c.d"), Click(Id::cmdAdd),
          Paste(Id::txtIp, fortyDigits), Click(Id::cmdAdd), Paste(Id::txtIp, L"1.2." + fortyDigits + L".4"),
          Click(Id::cmdAdd), ExpectShown({L"10.0.0.1", L"10.0.0.2"}, L"2", L"1.2." + fortyDigits + L".4"),
          Click(Id::cmdOk)});
    const std::wstring badFormat = L"Invaild Ip Format, Contain Ip Identifier -> '.'  Error";
    const std::wstring outOfRange = L" Is Invaild Ip Number, Please Input Number Between 0 And 255";
    ASSERT_EQ(boxes.Shown.size(), 4u);
    EXPECT_EQ(boxes.Shown[0].Text, badFormat);
    EXPECT_EQ(boxes.Shown[1].Text, L"a" + outOfRange);
    EXPECT_EQ(boxes.Shown[2].Text, badFormat);
    EXPECT_EQ(boxes.Shown[3].Text, fortyDigits + outOfRange);
    for (const testing::ShownBox& box : boxes.Shown) {
        EXPECT_EQ(box.Title, L"Add IP");
    }
    EXPECT_EQ(state.FilterIps, (Entries{L"10.0.0.1", L"10.0.0.2"}));
}

} // namespace
} // namespace tarnwatch::ui
