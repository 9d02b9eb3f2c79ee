#include "win_file_system.h"

#include "../engine/temp_folder.h"
#include "handles.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::win {
namespace {

using testing::TempFolder;

// The web server's side of the log.
FileHandle OpenAsWriter(const std::wstring& path) {
    return FileHandle(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void Append(const FileHandle& writer, const std::string& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(writer.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string ReadAt(SharedReadFile& file, std::int64_t position, std::size_t size) {
    std::string bytes(size, '\0');
    bytes.resize(file.ReadAt(position, bytes.data(), bytes.size()));
    return bytes;
}

TEST(WinFileSystemTest, OnlyVisibleOrdinaryFilesCountAsPresent) {
    TempFolder folder;
    WinFileSystem files;
    const std::wstring readOnly = folder.Write("readonly.log", "x").wstring();
    const std::wstring hidden = folder.Write("hidden.log", "x").wstring();
    const std::wstring system = folder.Write("system.log", "x").wstring();
    ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM));

    EXPECT_TRUE(files.IsPlainFile(folder.Write("plain.log", "x").wstring()));
    EXPECT_TRUE(files.IsPlainFile(readOnly));
    EXPECT_FALSE(files.IsPlainFile(hidden));
    EXPECT_FALSE(files.IsPlainFile(system));
    EXPECT_FALSE(files.IsPlainFile(folder.Path().wstring()));
    EXPECT_FALSE(files.IsPlainFile((folder.Path() / "missing.log").wstring()));
    EXPECT_EQ(files.OpenShared((folder.Path() / "missing.log").wstring()), nullptr);

    for (const std::wstring& path : {readOnly, hidden, system}) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(WinFileSystemTest, ReadsAtAnyPositionAndStopsAtTheEnd) {
    TempFolder folder;
    WinFileSystem files;
    const auto file = files.OpenShared(folder.Write("ex030905.log", "0123456789").wstring());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Length(), 10);
    EXPECT_EQ(ReadAt(*file, 3, 4), "3456");
    EXPECT_EQ(ReadAt(*file, 7, 100), "789");
    EXPECT_EQ(ReadAt(*file, 50, 5), "");
}

TEST(WinFileSystemTest, TheServerKeepsWritingRenamingAndDeletingWhileTheLogIsOpen) {
    TempFolder folder;
    WinFileSystem files;
    const std::wstring path = (folder.Path() / "ex030905.log").wstring();
    FileHandle before = OpenAsWriter(path);
    Append(before, "first\r\n");
    const auto file = files.OpenShared(path);
    ASSERT_NE(file, nullptr) << "opened while the server writes";
    Append(before, "second\r\n");
    EXPECT_EQ(file->Length(), 15);
    before.Reset();

    const FileHandle after = OpenAsWriter(path);
    ASSERT_TRUE(after) << "the server opens it again while the monitor reads";
    Append(after, "third\r\n");
    EXPECT_EQ(ReadAt(*file, 7, 100), "second\r\nthird\r\n");

    const std::wstring renamed = (folder.Path() / "ex030905.old").wstring();
    EXPECT_TRUE(::MoveFileExW(path.c_str(), renamed.c_str(), 0)) << ::GetLastError();
    EXPECT_TRUE(::DeleteFileW(renamed.c_str())) << ::GetLastError();
}

} // namespace
} // namespace tarnwatch::win
