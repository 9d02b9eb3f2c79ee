#include "tools/icons/icon_file.h"
#include "tools/icons/program_icons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarnwatch::icons {
namespace {

TEST(IconFile, RowsGoBottomUpLeftPixelInTheHighNibbleAndOnlyTransparentPixelsMaskedAndBlack) {
    IndexedImage image(2);
    image.pixels = {9, 2, TransparentPixel, 5};
    const auto file = EncodeIconFile({image}, VgaPalette());
    const std::size_t colours = 6 + 16 + 40 + 64;
    EXPECT_EQ(file.at(colours) & 0x0F, 5) << "the bottom row comes first";
    EXPECT_EQ(file.at(colours) >> 4, 0) << "a masked pixel must not tint the desktop";
    EXPECT_EQ(file.at(colours + 4), 0x92) << "the left pixel goes into the high nibble";
    EXPECT_EQ(file.at(colours + 8), 0x80) << "only the transparent pixel is masked";
}

std::uint32_t At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
           std::uint32_t{bytes.at(at + 3)} << 24;
}

TEST(ProgramIcons, CommittedFilesAreWhatTheGeneratorDrawsAtEverySize) {
    const auto committed = [](const char* name) {
        std::ifstream stream(std::filesystem::path(TARNWATCH_RESOURCES_DIR) / name, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(stream), {});
    };
    EXPECT_EQ(committed("tarnwatch_yellow.ico"), YellowIconFile()) << "run scripts/make-icons";
    const auto file = BlueIconFile();
    EXPECT_EQ(committed("tarnwatch_blue.ico"), file) << "run scripts/make-icons";
    ASSERT_EQ(file.at(4), IconSizes.size()) << "images in the file";
    std::uint32_t offset = 6 + static_cast<std::uint32_t>(IconSizes.size()) * 16;
    for (std::size_t image = 0; image < IconSizes.size(); ++image) {
        const auto pixels = static_cast<std::uint32_t>(IconSizes[image]);
        SCOPED_TRACE(pixels);
        const std::size_t entry = 6 + 16 * image;
        EXPECT_EQ(At(file, entry), pixels | pixels << 8 | 16u << 16) << "width, height, colour count";
        ASSERT_EQ(At(file, entry + 12), offset);
        EXPECT_EQ(At(file, offset + 8), 2 * pixels) << "height counts the colour bitmap and the mask";
        EXPECT_EQ(At(file, offset + 40 + 4 * 9), 0xFF0000u) << "palette entries are blue, green, red";
        // The next image starts where this one's declared size ends, and the last ends with the file.
        offset += At(file, entry + 8);
    }
    EXPECT_EQ(file.size(), offset);
}

} // namespace
} // namespace tarnwatch::icons
