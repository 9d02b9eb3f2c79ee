// Opening a file or a web address with what the system has registered for it, behind an interface so
// that tests see the target instead of opening it.
#pragma once

#include <windows.h>

#include <string>

namespace tarnwatch::win {

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // The result is not examined: a handler that cannot start is the system's to report.
    virtual void Open(HWND owner, const std::wstring& target) = 0;
};

class WinShellOpener final : public ShellOpener {
public:
    void Open(HWND owner, const std::wstring& target) override;
};

} // namespace tarnwatch::win
