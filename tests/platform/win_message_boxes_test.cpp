#include "win_message_boxes.h"

#include "handles.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::win {
namespace {

// What the user does to the box once it is up (0: closes it), and what the test saw of it.
struct BoxVisit {
    int PressedButton = 0;
    int DefaultButton = 0;
    HWND Owner = nullptr;
};

BoxVisit* currentVisit = nullptr;

BOOL CALLBACK FindDefaultButton(HWND control, LPARAM found) {
    if ((::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        *reinterpret_cast<int*>(found) = ::GetDlgCtrlID(control);
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
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
    ::EnumChildWindows(box, FindDefaultButton, reinterpret_cast<LPARAM>(&visit.DefaultButton));
    visit.Owner = ::GetWindow(box, GW_OWNER);
    if (visit.PressedButton == 0) {
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    } else {
        ::PostMessageW(::GetDlgItem(box, visit.PressedButton), BM_CLICK, 0, 0);
    }
}

BoxAnswer ShowAndPress(WinMessageBoxes& boxes, BoxButtons buttons, int pressedButton, BoxVisit& visit) {
    visit.PressedButton = pressedButton;
    currentVisit = &visit;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitBox);
    const BoxAnswer answer = boxes.Show(L"text", L"title", buttons, BoxIcon::Question);
    ::KillTimer(nullptr, timer);
    currentVisit = nullptr;
    return answer;
}

TEST(WinMessageBoxesTest, YesNoHasYesAsDefaultAndBelongsToTheOwner) {
    const WindowHandle owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                               nullptr, ::GetModuleHandleW(nullptr), nullptr));
    WinMessageBoxes boxes(owner.Get());
    BoxVisit yes;
    EXPECT_EQ(ShowAndPress(boxes, BoxButtons::YesNo, IDYES, yes), BoxAnswer::Yes);
    EXPECT_EQ(yes.DefaultButton, IDYES);
    EXPECT_EQ(yes.Owner, owner.Get());

    boxes.SetOwner(nullptr);
    BoxVisit no;
    EXPECT_EQ(ShowAndPress(boxes, BoxButtons::YesNo, IDNO, no), BoxAnswer::No);
    EXPECT_EQ(no.Owner, nullptr);
}

TEST(WinMessageBoxesTest, RetryCancelAndOkReportTheirButtonsAndClosingCountsAsCancel) {
    WinMessageBoxes boxes;
    BoxVisit visit;
    EXPECT_EQ(ShowAndPress(boxes, BoxButtons::RetryCancel, IDRETRY, visit), BoxAnswer::Retry);
    EXPECT_EQ(visit.DefaultButton, IDRETRY);
    EXPECT_EQ(ShowAndPress(boxes, BoxButtons::RetryCancel, 0, visit), BoxAnswer::Cancel);
    EXPECT_EQ(ShowAndPress(boxes, BoxButtons::Ok, IDOK, visit), BoxAnswer::Ok);
}

} // namespace
} // namespace tarnwatch::win
