// The shell's folder browser, behind a small interface so that its callers can be tested without it.
#pragma once

#include <windows.h>

#include <string>

namespace tarnwatch::win {

// Shows the shell's folder browser, modal to owner. Returns the file-system path of the chosen folder as
// the shell gives it (a drive root ends with "\", other folders do not), or an empty string when the
// user cancelled or chose something that has no file-system path.
std::wstring BrowseForFolder(HWND owner, const std::wstring& title);

class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    virtual std::wstring Browse(HWND owner, const std::wstring& title) = 0;
};

class ShellFolderBrowser final : public FolderBrowser {
public:
    std::wstring Browse(HWND owner, const std::wstring& title) override {
        return BrowseForFolder(owner, title);
    }
};

} // namespace tarnwatch::win
