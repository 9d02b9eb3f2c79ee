#include "platform/win_file_system.h"

#include "platform/handles.h"

#include <windows.h>

#include <algorithm>

namespace tarnwatch::win {

namespace {

class WinSharedReadFile final : public SharedReadFile {
public:
    explicit WinSharedReadFile(FileHandle file) : file_(std::move(file)) {}

    std::optional<std::int64_t> Length() override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file_.Get(), &size)) {
            return std::nullopt;
        }
        return size.QuadPart;
    }

    std::optional<FileIdentity> Identity() override {
        BY_HANDLE_FILE_INFORMATION information{};
        if (!::GetFileInformationByHandle(file_.Get(), &information)) {
            return std::nullopt;
        }
        const auto wide = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
        return FileIdentity{information.dwVolumeSerialNumber,
                            wide(information.nFileIndexHigh, information.nFileIndexLow)};
    }

    std::optional<std::size_t> ReadAt(std::int64_t position, char* buffer, std::size_t size) override {
        std::size_t total = 0;
        while (total < size) {
            // ReadFile takes a 32-bit count; the position of each piece travels in the OVERLAPPED record.
            const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
            const auto offset = static_cast<ULONGLONG>(position) + total;
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD read = 0;
            if (!::ReadFile(file_.Get(), buffer + total, wanted, &read, &at)) {
                // Past the end of the file a positioned read fails with EOF: that is no error, just no data.
                if (::GetLastError() == ERROR_HANDLE_EOF) {
                    break;
                }
                return std::nullopt;
            }
            if (read == 0) {
                break;
            }
            total += read;
        }
        return total;
    }

private:
    FileHandle file_;
};

} // namespace

bool WinFileSystem::IsPlainFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    constexpr DWORD NotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & NotPlain) == 0;
}

std::unique_ptr<SharedReadFile> WinFileSystem::OpenShared(const std::wstring& path) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<WinSharedReadFile>(std::move(file));
}

} // namespace tarnwatch::win
