#include "platform/shell_open.h"

#include <shellapi.h>

namespace tarnwatch::win {

void WinShellOpener::Open(HWND owner, const std::wstring& target) {
    ::ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace tarnwatch::win
