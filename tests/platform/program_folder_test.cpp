#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwatch::win {
namespace {

TEST(ProgramFolderTest, IsTheFolderHoldingTheRunningExecutable) {
    const std::filesystem::path folder = ProgramFolder();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "platform_tests.exe"));
}

} // namespace
} // namespace tarnwatch::win
