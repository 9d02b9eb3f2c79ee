#include "platform/win_file_system.h"

#include "platform/handles.h"
#include "tests/engine/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::win {
namespace {

using testing::TempFolder;

std::string ReadAt(SharedReadFile& file, std::int64_t position, std::size_t size) {
    std::string bytes(size, '\0');
    bytes.resize(file.ReadAt(position, bytes.data(), bytes.size()));
    return bytes;
}

TEST(WinFileSystemTest, OnlyVisibleOrdinaryFilesCountAsPresent) {
    TempFolder folder;
    WinFileSystem files;
    for (const auto& [attributes, present] : {std::pair<DWORD, bool>{FILE_ATTRIBUTE_NORMAL, true},
                                              {FILE_ATTRIBUTE_READONLY, true},
                                              {FILE_ATTRIBUTE_HIDDEN, false},
                                              {FILE_ATTRIBUTE_SYSTEM, false}}) {
        const std::wstring path = folder.Write(std::to_string(attributes) + ".log", "x").wstring();
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
        EXPECT_EQ(files.IsPlainFile(path), present) << attributes;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(files.IsPlainFile(folder.Path().wstring()));
    EXPECT_FALSE(files.IsPlainFile((folder.Path() / "missing.log").wstring()));
    EXPECT_EQ(files.OpenShared((folder.Path() / "missing.log").wstring()), nullptr);
}

TEST(WinFileSystemTest, ReadsWhileTheServerKeepsWritingReopeningRenamingAndDeleting) {
    TempFolder folder;
    WinFileSystem files;
    const std::wstring path = (folder.Path() / "ex030905.log").wstring();
    // The web server's side of the log.
    const auto openWriter = [&path] {
        return FileHandle(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    const auto append = [](const FileHandle& writer, const std::string& bytes) {
        DWORD written = 0;
        ASSERT_TRUE(
            ::WriteFile(writer.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    };
    FileHandle writer = openWriter();
    append(writer, "first\r\n");
    const auto file = files.OpenShared(path);
    ASSERT_NE(file, nullptr) << "opened while the server writes";
    append(writer, "second\r\n");
    EXPECT_EQ(file->Length(), 15);
    writer.Reset();
    writer = openWriter();
    ASSERT_TRUE(writer) << "the server opens it again while the monitor reads";
    append(writer, "third\r\n");
    EXPECT_EQ(ReadAt(*file, 7, 100), "second\r\nthird\r\n");
    EXPECT_EQ(ReadAt(*file, 1, 4), "irst");
    EXPECT_EQ(ReadAt(*file, 50, 5), "");

    const std::wstring renamed = (folder.Path() / "ex030905.old").wstring();
    EXPECT_TRUE(::MoveFileExW(path.c_str(), renamed.c_str(), 0)) << ::GetLastError();
    EXPECT_TRUE(::DeleteFileW(renamed.c_str())) << ::GetLastError();
}

} // namespace
} // namespace tarnwatch::win
