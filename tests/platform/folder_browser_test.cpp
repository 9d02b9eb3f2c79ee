#include "folder_browser.h"
#include "handles.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tarnwatch::win {
namespace {

struct BrowserSearch {
    HWND Owner;
    HWND Found;
};

BOOL CALLBACK MatchBrowser(HWND window, LPARAM search) {
    auto& browser = *reinterpret_cast<BrowserSearch*>(search);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wstring_view(className) != L"#32770" || ::GetWindow(window, GW_OWNER) != browser.Owner) {
        return TRUE;
    }
    browser.Found = window;
    return FALSE;
}

// Acts on the shell's folder browser from inside its own message loop once it has appeared, as a user would.
class BrowserUser {
public:
    BrowserUser(HWND owner, std::function<void(HWND browser)> action)
        : owner_(owner), action_(std::move(action)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 50, &OnTick);
    }
    ~BrowserUser() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    BrowserUser(const BrowserUser&) = delete;
    BrowserUser& operator=(const BrowserUser&) = delete;

    bool Acted() const { return acted_; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ != nullptr && !current_->acted_) {
            current_->Tick();
        }
    }

    void Tick() {
        BrowserSearch search{owner_, nullptr};
        ::EnumThreadWindows(::GetCurrentThreadId(), &MatchBrowser, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr) {
            acted_ = true;
            action_(search.Found);
        }
    }

    static inline BrowserUser* current_ = nullptr;
    HWND owner_;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool acted_ = false;
};

void Press(HWND browser, int buttonId) {
    ::SendMessageW(::GetDlgItem(browser, buttonId), BM_CLICK, 0, 0);
}

// Picks the folder in the browser's tree as a click on it would, then presses OK.
std::function<void(HWND)> Choose(std::wstring folder) {
    return [folder](HWND browser) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        Press(browser, IDOK);
    };
}

BOOL CALLBACK CollectText(HWND window, LPARAM texts) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

class BrowseForFolderTest : public ::testing::Test {
protected:
    std::wstring Browse(std::function<void(HWND)> action) {
        const BrowserUser user(owner.Get(), std::move(action));
        std::wstring chosen = BrowseForFolder(owner.Get(), L"Select the Logfile Folder");
        EXPECT_TRUE(user.Acted()) << "the folder browser never appeared";
        return chosen;
    }

    const WindowHandle owner{::CreateWindowExW(0, WC_STATICW, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                               0, 300, 200, nullptr, nullptr, nullptr, nullptr)};
};

TEST_F(BrowseForFolderTest, CancelGivesNothingAndTheBrowserIsModalToItsOwnerShowingTheTitle) {
    std::vector<std::wstring> texts;
    bool ownerEnabledMeanwhile = true;

    const std::wstring chosen = Browse([&](HWND browser) {
        ownerEnabledMeanwhile = ::IsWindowEnabled(owner.Get()) != FALSE;
        ::EnumChildWindows(browser, &CollectText, reinterpret_cast<LPARAM>(&texts));
        Press(browser, IDCANCEL);
    });

    EXPECT_EQ(chosen, L"");
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(owner.Get()));
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Select the Logfile Folder"), texts.end());
}

TEST_F(BrowseForFolderTest, FolderComesBackAsItsPathWithoutAFinalBackslash) {
    const std::wstring system = SystemFolder();

    EXPECT_EQ(Browse(Choose(system + L"\\")), system);
}

TEST_F(BrowseForFolderTest, DriveComesBackAsItsRoot) {
    const std::wstring driveRoot = SystemFolder().substr(0, 3);
    ASSERT_EQ(driveRoot.substr(1), L":\\");

    EXPECT_EQ(Browse(Choose(driveRoot)), driveRoot);
}

TEST_F(BrowseForFolderTest, LeavesTheThreadsComApartmentAsItFoundIt) {
    Browse([](HWND browser) { Press(browser, IDCANCEL); });
    // Had the browse kept its own apartment, the thread could not now join another kind.
    const HRESULT joined = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(joined, S_OK);
    if (SUCCEEDED(joined)) {
        ::CoUninitialize();
    }

    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(Browse(Choose(SystemFolder())), SystemFolder());
    ::CoUninitialize();
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    ::CoUninitialize();
}

} // namespace
} // namespace tarnwatch::win
