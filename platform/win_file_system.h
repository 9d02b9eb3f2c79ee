// Files as the web server shares them: read while it keeps appending, renaming or deleting.
#pragma once

#include "engine/ports.h"

namespace tarnwatch::win {

class WinFileSystem final : public FileSystem {
public:
    // Folders, hidden and system files count as missing.
    bool IsPlainFile(const std::wstring& path) override;
    // Null when the file cannot be opened; GetLastError then tells why.
    std::unique_ptr<SharedReadFile> OpenShared(const std::wstring& path) override;
};

} // namespace tarnwatch::win
