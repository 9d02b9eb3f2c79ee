#include "platform/system_error.h"

#include "platform/win_code_page.h"

#include <memory>

namespace tarnwatch::win {

namespace {

struct LocalMemoryDeleter {
    void operator()(wchar_t* memory) const { ::LocalFree(memory); }
};

} // namespace

std::wstring SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalMemoryDeleter> owned(buffer);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? L"error " + std::to_wstring(error) : text;
}

WindowsError::WindowsError(const std::wstring& action, DWORD error)
    : std::runtime_error(WinAnsiCodePage().ToAnsi(action + L": " + SystemErrorText(error))) {}

} // namespace tarnwatch::win
