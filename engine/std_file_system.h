// File access through the standard library, for builds and tests without a Windows file layer.
#pragma once

#include "engine/ports.h"

namespace tarnwatch {

class StdFileSystem final : public FileSystem {
public:
    bool IsPlainFile(const std::wstring& path) override;
    std::unique_ptr<SharedReadFile> OpenShared(const std::wstring& path) override;
};

} // namespace tarnwatch
