#include "platform/folder_browser.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <memory>

namespace tarnwatch::win {

namespace {

// The shell browser needs COM on the calling thread; a thread that has none gets an apartment for the
// duration of the call, and a thread that already has one keeps it untouched.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized_) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

// The item list belongs to the caller of SHBrowseForFolderW.
struct ItemListDeleter {
    void operator()(LPITEMIDLIST items) const { ::CoTaskMemFree(items); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListDeleter>;

} // namespace

std::wstring BrowseForFolder(HWND owner, const std::wstring& title) {
    const ComApartment apartment;

    BROWSEINFOW request{};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;
    request.pszDisplayName = nullptr;
    request.lpszTitle = title.c_str();
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    request.lpfn = nullptr;
    request.lParam = 0;

    const ItemList chosen(::SHBrowseForFolderW(&request));
    if (!chosen) {
        return {};
    }
    // An item without a file-system path leaves the buffer untouched, so it reads as an empty path.
    std::array<wchar_t, MAX_PATH> path{};
    ::SHGetPathFromIDListW(chosen.get(), path.data());
    const auto end = std::find(path.begin(), path.end(), L'\0');
    return std::wstring(path.begin(), end);
}

} // namespace tarnwatch::win
