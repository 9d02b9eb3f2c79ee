// The system's own dialogs, answered from inside their modal loops as a user would.
#include "platform/folder_browser.h"
#include "platform/handles.h"
#include "platform/win_message_boxes.h"
#include "tests/ui/scripted_user.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <array>
#include <string>
#include <tuple>

namespace tarnwatch::win {
namespace {

constexpr const wchar_t* BrowserTitle = L"Select the Logfile Folder";

class SystemDialogTest : public ::testing::Test {
protected:
    // Makes the call that shows the dialog; once the dialog is up, notes its owner and title and presses the
    // button, in a folder browser after choosing the folder as a click in its tree would.
    template <typename Call> auto Press(int button, Call call, const std::wstring& folder = {}) {
        decltype(call()) result{};
        const ui::Step press = [&](HWND dialog) {
            shownOwner = ::GetWindow(dialog, GW_OWNER);
            titleShown = ::FindWindowExW(dialog, nullptr, nullptr, BrowserTitle) != nullptr;
            if (!folder.empty()) {
                ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
            }
            ::PostMessageW(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        };
        ui::Play(L"#32770", {press}, [&] { result = call(); });
        return result;
    }

    const WindowHandle owner{::CreateWindowExW(0, WC_STATICW, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                               0, 300, 200, nullptr, nullptr, nullptr, nullptr)};
    HWND shownOwner = nullptr;
    bool titleShown = false;
};

TEST_F(SystemDialogTest, AMessageBoxAnswersWithThePressedButtonAndBelongsToTheWindowTakingInput) {
    const std::tuple<BoxButtons, int, BoxAnswer> cases[] = {
        {BoxButtons::YesNo, IDYES, BoxAnswer::Yes},
        {BoxButtons::YesNo, IDNO, BoxAnswer::No},
        {BoxButtons::RetryCancel, IDRETRY, BoxAnswer::Retry},
        {BoxButtons::RetryCancel, IDCANCEL, BoxAnswer::Cancel},
        {BoxButtons::Ok, IDOK, BoxAnswer::Ok}};
    WinMessageBoxes boxes(owner.Get());
    for (const auto& [buttons, pressed, answer] : cases) {
        SCOPED_TRACE(pressed);
        // Boxes shown before the main window exists have no owner.
        boxes.SetOwner(pressed == IDNO ? nullptr : owner.Get());
        EXPECT_EQ(Press(pressed, [&] { return boxes.Show(L"text", L"title", buttons, BoxIcon::Question); }),
                  answer);
        EXPECT_EQ(shownOwner, pressed == IDNO ? nullptr : owner.Get());
    }
    // While a modal window keeps the owner from taking input, the box belongs to the window that does.
    const WindowHandle dialog{::CreateWindowExW(0, WC_STATICW, L"dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                                0, 200, 100, nullptr, nullptr, nullptr, nullptr)};
    ::EnableWindow(owner.Get(), FALSE);
    ::SetActiveWindow(dialog.Get());
    Press(IDOK, [&] { return boxes.Show(L"text", L"title", BoxButtons::Ok, BoxIcon::Exclamation); });
    ::EnableWindow(owner.Get(), TRUE);
    EXPECT_EQ(shownOwner, dialog.Get());
}

TEST_F(SystemDialogTest, TheFolderBrowserBelongsToItsOwnerGivesTheChosenFolderAndLeavesComAsItFoundIt) {
    const auto browse = [this] { return BrowseForFolder(owner.Get(), BrowserTitle); };
    EXPECT_EQ(Press(IDCANCEL, browse), L"") << "cancelled";
    EXPECT_EQ(shownOwner, owner.Get()) << "modal to its owner";
    EXPECT_TRUE(titleShown);
    // Had the browse kept its own apartment, the thread could not now join another kind.
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    std::array<wchar_t, MAX_PATH> system{};
    ::GetSystemDirectoryW(system.data(), MAX_PATH);
    EXPECT_EQ(Press(IDOK, browse, std::wstring(system.data()) + L"\\"), system.data())
        << "without a final backslash";
    ::CoUninitialize();
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK)
        << "the caller's apartment was left as it was";
    ::CoUninitialize();
}

} // namespace
} // namespace tarnwatch::win
