#include "platform/win_code_page.h"

#include <windows.h>

#include <climits>

namespace tarnwatch::win {

namespace {

// The conversion calls take int lengths; texts of the program are far shorter, longer ones are cut.
int ClampedLength(std::size_t length) {
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

} // namespace

void WinAnsiCodePage::ToWide(std::string_view ansi, std::wstring& wide) {
    if (ansi.empty()) {
        wide.clear();
        return;
    }
    // No ANSI code page turns one byte into more than one UTF-16 unit, so this size always suffices.
    const int length = ClampedLength(ansi.size());
    wide.resize(static_cast<std::size_t>(length));
    const int written = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), length);
    wide.resize(static_cast<std::size_t>(written));
}

std::string WinAnsiCodePage::ToAnsi(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = ClampedLength(wide.size());
    const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    const int written =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), needed, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return ansi;
}

} // namespace tarnwatch::win
