#include "platform/folder_browser.h"
#include "platform/handles.h"
#include "platform/win_message_boxes.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <functional>
#include <string>
#include <utility>

namespace tarnwatch::win {
namespace {

using DialogAction = std::function<void(HWND dialog)>;

// Done once to the system's dialog from inside its own modal loop, as a user would.
DialogAction pendingAction;

void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = ::FindWindowW(L"#32770", nullptr);
    if (dialog != nullptr && ::IsWindowVisible(dialog) && pendingAction) {
        std::exchange(pendingAction, nullptr)(dialog);
    }
}

void Press(HWND dialog, int buttonId) {
    ::PostMessageW(::GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

// Picks the folder in the browser's tree as a click on it would, then presses OK.
DialogAction Choose(std::wstring folder) {
    return [folder](HWND browser) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        Press(browser, IDOK);
    };
}

class SystemDialogTest : public ::testing::Test {
protected:
    // Makes the call that shows the dialog while the action waits for the dialog to come up.
    template <typename Call> auto WithDialog(DialogAction action, Call call) {
        pendingAction = std::move(action);
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ActOnDialog);
        const auto result = call();
        ::KillTimer(nullptr, timer);
        EXPECT_FALSE(pendingAction) << "the dialog never appeared";
        return result;
    }

    std::wstring Browse(DialogAction action) {
        return WithDialog(std::move(action),
                          [this] { return BrowseForFolder(owner.Get(), L"Select the Logfile Folder"); });
    }

    const WindowHandle owner{::CreateWindowExW(0, WC_STATICW, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                               0, 300, 200, nullptr, nullptr, nullptr, nullptr)};
};

TEST_F(SystemDialogTest,
       EachMessageBoxButtonSetAnswersWithThePressedButtonHasItsDefaultAndBelongsToTheOwner) {
    struct Case {
        HWND Owner;
        BoxButtons Buttons;
        int Pressed; // 0: the box is closed
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
        int defaultButton = 0;
        HWND boxOwner = nullptr;
        const auto visit = [&](HWND box) {
            for (HWND button = nullptr;
                 (button = ::FindWindowExW(box, button, L"Button", nullptr)) != nullptr;) {
                if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                    defaultButton = ::GetDlgCtrlID(button);
                }
            }
            boxOwner = ::GetWindow(box, GW_OWNER);
            ::PostMessageW(test.Pressed == 0 ? box : ::GetDlgItem(box, test.Pressed),
                           test.Pressed == 0 ? WM_CLOSE : BM_CLICK, 0, 0);
        };
        EXPECT_EQ(
            WithDialog(visit, [&] { return boxes.Show(L"text", L"title", test.Buttons, BoxIcon::Question); }),
            test.Answer);
        EXPECT_EQ(defaultButton, test.Default);
        EXPECT_EQ(boxOwner, test.Owner);
    }
}

TEST_F(SystemDialogTest, WhileItsOwnerTakesNoInputABoxBelongsToTheWindowThatDoes) {
    const WindowHandle dialog{::CreateWindowExW(0, WC_STATICW, L"dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                                0, 200, 100, nullptr, nullptr, nullptr, nullptr)};
    ::EnableWindow(owner.Get(), FALSE);
    ::SetActiveWindow(dialog.Get());
    WinMessageBoxes boxes(owner.Get());
    HWND boxOwner = nullptr;
    WithDialog(
        [&](HWND box) {
            boxOwner = ::GetWindow(box, GW_OWNER);
            ::PostMessageW(box, WM_CLOSE, 0, 0);
        },
        [&] { return boxes.Show(L"text", L"title", BoxButtons::Ok, BoxIcon::Exclamation); });
    ::EnableWindow(owner.Get(), TRUE);
    EXPECT_EQ(boxOwner, dialog.Get());
}

TEST_F(SystemDialogTest, TheFolderBrowserBelongsToItsOwnerGivesTheChosenFolderAndLeavesComAsItFoundIt) {
    HWND browserOwner = nullptr;
    bool titleShown = false;
    EXPECT_EQ(Browse([&](HWND browser) {
                  browserOwner = ::GetWindow(browser, GW_OWNER);
                  titleShown =
                      ::FindWindowExW(browser, nullptr, nullptr, L"Select the Logfile Folder") != nullptr;
                  Press(browser, IDCANCEL);
              }),
              L"")
        << "cancelled";
    EXPECT_EQ(browserOwner, owner.Get()) << "modal to its owner";
    EXPECT_TRUE(titleShown);
    // Had the browse kept its own apartment, the thread could not now join another kind.
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    std::array<wchar_t, MAX_PATH> system{};
    ::GetSystemDirectoryW(system.data(), MAX_PATH);
    EXPECT_EQ(Browse(Choose(std::wstring(system.data()) + L"\\")), system.data())
        << "without a final backslash";
    ::CoUninitialize();
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK)
        << "the caller's apartment was left as it was";
    ::CoUninitialize();
}

} // namespace
} // namespace tarnwatch::win
