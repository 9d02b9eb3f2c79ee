#include "platform/folder_browser.h"
#include "platform/handles.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>

namespace tarnwatch::win {
namespace {

using BrowserAction = std::function<void(HWND browser)>;

// Done once to the shell's folder browser from inside its own message loop, as a user would.
BrowserAction pendingAction;

void CALLBACK ActOnBrowser(HWND, UINT, UINT_PTR, DWORD) {
    const HWND browser = ::FindWindowW(L"#32770", nullptr);
    if (browser != nullptr && pendingAction) {
        std::exchange(pendingAction, nullptr)(browser);
    }
}

void Press(HWND browser, int buttonId) {
    ::SendMessageW(::GetDlgItem(browser, buttonId), BM_CLICK, 0, 0);
}

// Picks the folder in the browser's tree as a click on it would, then presses OK.
BrowserAction Choose(std::wstring folder) {
    return [folder](HWND browser) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        Press(browser, IDOK);
    };
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

class BrowseForFolderTest : public ::testing::Test {
protected:
    std::wstring Browse(BrowserAction action) {
        pendingAction = std::move(action);
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ActOnBrowser);
        std::wstring chosen = BrowseForFolder(owner.Get(), L"Select the Logfile Folder");
        ::KillTimer(nullptr, timer);
        EXPECT_FALSE(pendingAction) << "the folder browser never appeared";
        return chosen;
    }

    const WindowHandle owner{::CreateWindowExW(0, WC_STATICW, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                               0, 300, 200, nullptr, nullptr, nullptr, nullptr)};
};

TEST_F(BrowseForFolderTest, CancelGivesNothingAndTheBrowserIsModalToItsOwnerShowingTheTitle) {
    bool modalToOwner = false;
    bool titleShown = false;
    const std::wstring chosen = Browse([&](HWND browser) {
        modalToOwner = !::IsWindowEnabled(owner.Get()) && ::GetWindow(browser, GW_OWNER) == owner.Get();
        titleShown = ::FindWindowExW(browser, nullptr, nullptr, L"Select the Logfile Folder") != nullptr;
        Press(browser, IDCANCEL);
    });

    EXPECT_EQ(chosen, L"");
    EXPECT_TRUE(modalToOwner);
    EXPECT_TRUE(::IsWindowEnabled(owner.Get()));
    EXPECT_TRUE(titleShown);
}

TEST_F(BrowseForFolderTest, FolderComesBackWithoutAFinalBackslashAndADriveAsItsRoot) {
    const std::wstring system = SystemFolder();
    const std::wstring driveRoot = system.substr(0, 3);
    ASSERT_EQ(driveRoot.substr(1), L":\\");
    EXPECT_EQ(Browse(Choose(system + L"\\")), system);
    EXPECT_EQ(Browse(Choose(driveRoot)), driveRoot);
}

TEST_F(BrowseForFolderTest, LeavesTheThreadsComApartmentAsItFoundIt) {
    Browse([](HWND browser) { Press(browser, IDCANCEL); });
    // Had the browse kept its own apartment, the thread could not now join another kind.
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();

    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(Browse(Choose(SystemFolder())), SystemFolder());
    ::CoUninitialize();
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();
}

} // namespace
} // namespace tarnwatch::win
