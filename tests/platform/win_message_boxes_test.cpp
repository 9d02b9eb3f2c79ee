#include "platform/win_message_boxes.h"

#include "platform/handles.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::win {
namespace {

// What the user does to the box once it is up (0: closes it), and what the test saw of it.
struct BoxVisit {
    int PressedButton = 0;
    int DefaultButton = 0;
    HWND Owner = nullptr;
} visit;

// Runs inside the message box's own loop.
void CALLBACK VisitBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = ::FindWindowW(L"#32770", nullptr);
    if (box == nullptr || !::IsWindowVisible(box)) {
        return;
    }
    ::KillTimer(nullptr, timer);
    for (HWND button = nullptr; (button = ::FindWindowExW(box, button, L"Button", nullptr)) != nullptr;) {
        if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            visit.DefaultButton = ::GetDlgCtrlID(button);
        }
    }
    visit.Owner = ::GetWindow(box, GW_OWNER);
    const HWND target = visit.PressedButton == 0 ? box : ::GetDlgItem(box, visit.PressedButton);
    ::PostMessageW(target, visit.PressedButton == 0 ? WM_CLOSE : BM_CLICK, 0, 0);
}

TEST(WinMessageBoxesTest, EachButtonSetAnswersWithThePressedButtonHasItsDefaultAndBelongsToTheOwner) {
    const WindowHandle owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                               nullptr, nullptr, nullptr));
    struct Case {
        HWND Owner;
        BoxButtons Buttons;
        int Pressed;
        BoxAnswer Answer;
        int Default;
    };
    for (const Case& test : {Case{owner.Get(), BoxButtons::YesNo, IDYES, BoxAnswer::Yes, IDYES},
                             Case{nullptr, BoxButtons::YesNo, IDNO, BoxAnswer::No, IDYES},
                             Case{nullptr, BoxButtons::RetryCancel, IDRETRY, BoxAnswer::Retry, IDRETRY},
                             Case{owner.Get(), BoxButtons::RetryCancel, 0, BoxAnswer::Cancel, IDRETRY},
                             Case{nullptr, BoxButtons::Ok, IDOK, BoxAnswer::Ok, IDOK}}) {
        SCOPED_TRACE(test.Pressed);
        WinMessageBoxes boxes(owner.Get());
        boxes.SetOwner(test.Owner);
        visit = BoxVisit{test.Pressed};
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitBox);
        EXPECT_EQ(boxes.Show(L"text", L"title", test.Buttons, BoxIcon::Question), test.Answer);
        ::KillTimer(nullptr, timer);
        EXPECT_EQ(visit.DefaultButton, test.Default);
        EXPECT_EQ(visit.Owner, test.Owner);
    }
}

} // namespace
} // namespace tarnwatch::win
