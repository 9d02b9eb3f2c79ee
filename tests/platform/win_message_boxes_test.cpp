#include "win_message_boxes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tarnwatch::win {
namespace {

// What the user does to the box once it is up, and what the test saw of it.
struct BoxVisit {
    int PressedButton = 0;
    bool Found = false;
    int DefaultButton = 0;
    HWND Owner = nullptr;
    std::wstring Title;
};

BoxVisit Pressing(int button) {
    BoxVisit visit;
    visit.PressedButton = button;
    return visit;
}

BoxVisit* currentVisit = nullptr;

// The default button is the one drawn as the default push button.
BOOL CALLBACK FindDefaultButton(HWND control, LPARAM found) {
    if ((::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        *reinterpret_cast<int*>(found) = ::GetDlgCtrlID(control);
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the message box's own loop.
void CALLBACK VisitBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    BoxVisit& visit = *currentVisit;
    visit.Found = true;
    ::EnumChildWindows(box, FindDefaultButton, reinterpret_cast<LPARAM>(&visit.DefaultButton));
    visit.Owner = ::GetWindow(box, GW_OWNER);
    wchar_t title[64] = {};
    ::GetWindowTextW(box, title, 64);
    visit.Title = title;
    if (visit.PressedButton == 0) {
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    } else {
        ::PostMessageW(::GetDlgItem(box, visit.PressedButton), BM_CLICK, 0, 0);
    }
}

BoxAnswer ShowAndVisit(WinMessageBoxes& boxes, BoxButtons buttons, BoxIcon icon, BoxVisit& visit) {
    currentVisit = &visit;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitBox);
    const BoxAnswer answer = boxes.Show(L"text", L"Save Settings", buttons, icon);
    ::KillTimer(nullptr, timer);
    currentVisit = nullptr;
    return answer;
}

TEST(WinMessageBoxesTest, YesNoQuestionHasYesAsDefaultAndReportsEitherAnswer) {
    WinMessageBoxes boxes;
    BoxVisit yes = Pressing(IDYES);
    EXPECT_EQ(ShowAndVisit(boxes, BoxButtons::YesNo, BoxIcon::Question, yes), BoxAnswer::Yes);
    ASSERT_TRUE(yes.Found);
    EXPECT_EQ(yes.DefaultButton, IDYES);
    EXPECT_EQ(yes.Title, L"Save Settings");

    BoxVisit no = Pressing(IDNO);
    EXPECT_EQ(ShowAndVisit(boxes, BoxButtons::YesNo, BoxIcon::Question, no), BoxAnswer::No);
}

TEST(WinMessageBoxesTest, RetryCancelReportsRetryAndClosingCountsAsCancel) {
    WinMessageBoxes boxes;
    BoxVisit retry = Pressing(IDRETRY);
    EXPECT_EQ(ShowAndVisit(boxes, BoxButtons::RetryCancel, BoxIcon::Critical, retry), BoxAnswer::Retry);
    EXPECT_EQ(retry.DefaultButton, IDRETRY);

    BoxVisit closed = Pressing(0);
    EXPECT_EQ(ShowAndVisit(boxes, BoxButtons::RetryCancel, BoxIcon::Critical, closed), BoxAnswer::Cancel);
}

TEST(WinMessageBoxesTest, OkBoxAnswersOk) {
    WinMessageBoxes boxes;
    BoxVisit ok = Pressing(IDOK);
    EXPECT_EQ(ShowAndVisit(boxes, BoxButtons::Ok, BoxIcon::Exclamation, ok), BoxAnswer::Ok);
}

TEST(WinMessageBoxesTest, BoxesBelongToTheOwnerOnceOneIsSet) {
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    WinMessageBoxes boxes;
    BoxVisit unowned = Pressing(IDOK);
    ShowAndVisit(boxes, BoxButtons::Ok, BoxIcon::Critical, unowned);
    EXPECT_EQ(unowned.Owner, nullptr);

    boxes.SetOwner(owner);
    BoxVisit owned = Pressing(IDOK);
    ShowAndVisit(boxes, BoxButtons::Ok, BoxIcon::Critical, owned);
    EXPECT_EQ(owned.Owner, owner);
    ::DestroyWindow(owner);
}

} // namespace
} // namespace tarnwatch::win
