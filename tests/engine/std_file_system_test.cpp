#include "engine/std_file_system.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

// The reader asks a file for its length and bytes again after a read reached its end.
TEST(StdFileSystem, GivesTheLengthAndTheBytesOfAPlainFileAtEveryAsking) {
    testing::TempFolder folder;
    StdFileSystem files;
    for (const std::string content : {"", "a\r\nbc"}) {
        const auto file = files.OpenShared(folder.Write("log", content).wstring());
        ASSERT_NE(file, nullptr);
        for (int asking = 0; asking < 2; ++asking) {
            EXPECT_EQ(file->Length(), static_cast<std::int64_t>(content.size()));
            std::string bytes(8, '?');
            const auto read = file->ReadAt(1, bytes.data(), bytes.size());
            ASSERT_TRUE(read.has_value());
            EXPECT_EQ(bytes.substr(0, *read), content.substr(std::min<std::size_t>(1, content.size())));
        }
    }
    EXPECT_EQ(files.OpenShared((folder.Path() / "missing").wstring()), nullptr);
    EXPECT_FALSE(files.IsPlainFile(folder.Path().wstring())) << "a folder";
}

} // namespace
} // namespace tarnwatch
