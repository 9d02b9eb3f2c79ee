#include "platform/program_folder.h"

#include <windows.h>

#include <string>

namespace tarnwatch::win {

std::filesystem::path ProgramFolder() {
    // Paths can exceed MAX_PATH; grow the buffer until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

} // namespace tarnwatch::win
