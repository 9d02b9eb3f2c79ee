// Files in memory, as Windows keeps them for a reader that has one open: a handle stays with the file it
// opened while the name is given to a new one. Reads and size queries can be made to fail, and the file can
// be changed from inside a read, as a server writing at the same moment would.
#pragma once

#include "engine/ports.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace tarnwatch::testing {

class MemoryFileSystem final : public FileSystem {
public:
    struct File {
        std::string Bytes;
        FileIdentity Identity;
    };

    // Replaces whatever file had the name with a new one, as a rename over it or a delete and create does.
    File& Create(const std::wstring& path, std::string bytes = {}) {
        auto file = std::make_shared<File>();
        file->Bytes = std::move(bytes);
        file->Identity.Index = ++created_;
        files_[path] = file;
        return *file;
    }
    File& At(const std::wstring& path) { return *files_.at(path); }
    void Remove(const std::wstring& path) { files_.erase(path); }

    bool OpenFails = false;
    // Bit k set: the k-th size query or read from now on fails, as on an I/O error.
    std::uint32_t FailingCalls = 0;
    // Runs before each read, with the position asked for.
    std::function<void(std::int64_t)> BeforeRead;
    bool KnowsIdentity = true;
    int Reads = 0;
    std::int64_t BytesRead = 0;

    bool IsPlainFile(const std::wstring& path) override { return files_.count(path) != 0; }

    std::unique_ptr<SharedReadFile> OpenShared(const std::wstring& path) override {
        const auto found = files_.find(path);
        if (found == files_.end() || OpenFails) {
            return nullptr;
        }
        return std::make_unique<Handle>(*this, found->second);
    }

private:
    class Handle final : public SharedReadFile {
    public:
        Handle(MemoryFileSystem& files, std::shared_ptr<File> file) : files_(files), file_(std::move(file)) {}

        std::optional<std::int64_t> Length() override {
            if (files_.NextCallFails()) {
                return std::nullopt;
            }
            return static_cast<std::int64_t>(file_->Bytes.size());
        }

        std::optional<std::size_t> ReadAt(std::int64_t position, char* buffer, std::size_t size) override {
            if (files_.BeforeRead) {
                files_.BeforeRead(position);
            }
            ++files_.Reads;
            if (files_.NextCallFails()) {
                return std::nullopt;
            }
            const std::string& bytes = file_->Bytes;
            const auto start = std::min(static_cast<std::size_t>(position), bytes.size());
            const std::size_t count = std::min(size, bytes.size() - start);
            bytes.copy(buffer, count, start);
            files_.BytesRead += static_cast<std::int64_t>(count);
            return count;
        }

        std::optional<FileIdentity> Identity() override {
            return files_.KnowsIdentity ? std::optional<FileIdentity>(file_->Identity) : std::nullopt;
        }

    private:
        MemoryFileSystem& files_;
        std::shared_ptr<File> file_;
    };

    bool NextCallFails() {
        const bool fails = (FailingCalls & 1) != 0;
        FailingCalls >>= 1;
        return fails;
    }

    std::map<std::wstring, std::shared_ptr<File>> files_;
    std::uint64_t created_ = 0;
};

} // namespace tarnwatch::testing
