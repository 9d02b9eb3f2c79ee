// The engine's ports as Windows gives them: the clock, the ANSI code page and the files of the log folder.
#include "platform/handles.h"
#include "platform/win_clock.h"
#include "platform/win_code_page.h"
#include "platform/win_file_system.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tarnwatch::win {
namespace {

using testing::TempFolder;

// The tick counts the system clock's seconds, so that it moves when the time of day's text does.
TEST(WinClockTest, SecondTickCountsWholeSecondsOfTheSystemClockAndTheTextFollowsIt) {
    WinClock clock;
    const std::int64_t tick = clock.SecondTick();
    const std::wstring text = clock.TimeOfDayText();
    ::Sleep(1100);
    EXPECT_GT(clock.SecondTick(), tick);
    EXPECT_LE(clock.SecondTick(), tick + 2) << "whole seconds";
    EXPECT_NE(clock.TimeOfDayText(), text);
}

TEST(WinAnsiCodePageTest, ConvertsBothWaysWithExactLengthsEmbeddedNulsAndTheSystemCodePageIncluded) {
    WinAnsiCodePage codePage;
    std::wstring wide = L"a much longer text that was here before";
    for (const auto& [ansi, expected] :
         {std::pair{std::string(), std::wstring()}, {std::string("a\0b", 3), std::wstring(L"a\0b", 3)}}) {
        codePage.ToWide(ansi, wide);
        EXPECT_EQ(wide, expected);
        EXPECT_EQ(codePage.ToAnsi(expected), ansi);
    }
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the system code page is " << ::GetACP() << ", not Windows-1252";
    }
    codePage.ToWide("caf\xE9 \x80", wide);
    EXPECT_EQ(wide, L"caf\u00E9 \u20AC");
    EXPECT_EQ(codePage.ToAnsi(L"caf\u00E9 \u20AC"), "caf\xE9 \x80");
    // A character the code page lacks still takes one byte, so lengths stay in step.
    EXPECT_EQ(codePage.ToAnsi(L"\u4E2D").size(), 1u);
}

TEST(WinFileSystemTest, OnlyVisibleOrdinaryFilesCountAsPresent) {
    TempFolder folder;
    for (const auto& [attributes, present] : {std::pair<DWORD, bool>{FILE_ATTRIBUTE_READONLY, true},
                                              {FILE_ATTRIBUTE_HIDDEN, false},
                                              {FILE_ATTRIBUTE_SYSTEM, false}}) {
        const std::wstring path = folder.Write(std::to_string(attributes) + ".log", "x").wstring();
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
        EXPECT_EQ(WinFileSystem().IsPlainFile(path), present) << attributes;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(WinFileSystem().IsPlainFile(folder.Path().wstring())) << "a folder";
    const std::wstring missing = (folder.Path() / "missing.log").wstring();
    EXPECT_FALSE(WinFileSystem().IsPlainFile(missing));
    EXPECT_EQ(WinFileSystem().OpenShared(missing), nullptr);
}

TEST(WinFileSystemTest, ReadsWhileTheServerKeepsWritingReopeningRenamingAndDeleting) {
    TempFolder folder;
    const std::wstring path = (folder.Path() / "ex030905.log").wstring();
    // The web server's side of the log: it opens the file again for each batch of lines.
    const auto append = [&path](const std::string& bytes) {
        const FileHandle writer(::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(
            ::WriteFile(writer.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    };
    const auto readAt = [](SharedReadFile& file, std::int64_t position, std::size_t size) {
        std::string bytes(size, '\0');
        bytes.resize(file.ReadAt(position, bytes.data(), bytes.size()).value_or(0));
        return bytes;
    };
    append("first\r\n");
    const auto file = WinFileSystem().OpenShared(path);
    ASSERT_NE(file, nullptr);
    append("second\r\n");
    EXPECT_EQ(file->Length(), std::optional<std::int64_t>(15));
    append("third\r\n");
    EXPECT_EQ(readAt(*file, 7, 100), "second\r\nthird\r\n");
    EXPECT_EQ(readAt(*file, 1, 4), "irst");
    EXPECT_EQ(readAt(*file, 50, 5), "");
    const std::wstring renamed = (folder.Path() / "ex030905.old").wstring();
    EXPECT_TRUE(::MoveFileExW(path.c_str(), renamed.c_str(), 0)) << ::GetLastError();
    EXPECT_TRUE(::DeleteFileW(renamed.c_str())) << ::GetLastError();
}

} // namespace
} // namespace tarnwatch::win
