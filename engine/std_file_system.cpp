#include "engine/std_file_system.h"

#include <filesystem>
#include <fstream>

namespace tarnwatch {

namespace {

class StdReadFile final : public SharedReadFile {
public:
    explicit StdReadFile(const std::filesystem::path& path) : stream_(path, std::ios::binary) {}

    bool IsOpen() const { return stream_.is_open(); }

    std::optional<std::int64_t> Length() override {
        stream_.clear();
        stream_.seekg(0, std::ios::end);
        const auto end = stream_.tellg();
        return end < 0 ? std::nullopt : std::optional<std::int64_t>(end);
    }

    std::optional<std::size_t> ReadAt(std::int64_t position, char* buffer, std::size_t size) override {
        stream_.clear();
        stream_.seekg(position);
        if (!stream_) {
            return std::nullopt;
        }
        stream_.read(buffer, static_cast<std::streamsize>(size));
        if (stream_.bad()) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(stream_.gcount());
    }

private:
    std::ifstream stream_;
};

} // namespace

bool StdFileSystem::IsPlainFile(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::unique_ptr<SharedReadFile> StdFileSystem::OpenShared(const std::wstring& path) {
    auto file = std::make_unique<StdReadFile>(std::filesystem::path(path));
    if (!file->IsOpen()) {
        return nullptr;
    }
    return file;
}

} // namespace tarnwatch
