#include "tools/icons/icon_file.h"
#include "tools/icons/program_icons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <stdexcept>

namespace tarnwatch::icons {
namespace {

std::uint32_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return U16At(bytes, at) | U16At(bytes, at + 2) << 16;
}

IndexedImage Filled(int size, std::uint8_t index) {
    IndexedImage image(size);
    std::fill(image.pixels.begin(), image.pixels.end(), index);
    return image;
}

TEST(IconFile, RowsGoBottomUpLeftPixelInTheHighNibbleAndOnlyTransparentPixelsMaskedAndBlack) {
    IndexedImage image = Filled(16, 0);
    image.At(0, 0) = 9;
    image.At(1, 0) = 2;
    image.At(2, 0) = 7;
    image.At(9, 0) = TransparentPixel;
    image.At(0, 15) = TransparentPixel;
    image.At(2, 15) = 5;
    const auto file = EncodeIconFile({image}, VgaPalette());
    const std::size_t colourBits = 6 + 16 + 40 + 64;
    const std::size_t maskBits = colourBits + 16 * 8;

    const std::size_t topRow = colourBits + 15 * 8;
    EXPECT_EQ(std::vector(file.begin() + topRow, file.begin() + topRow + 8),
              (std::vector<std::uint8_t>{0x92, 0x70, 0, 0, 0, 0, 0, 0}))
        << "a masked pixel must not tint the desktop";
    EXPECT_EQ(U16At(file, colourBits), 0x5000u);
    EXPECT_EQ(U16At(file, maskBits + 15 * 4), 0x4000u);
    EXPECT_EQ(file[maskBits], 0x80);
    EXPECT_EQ(std::transform_reduce(file.begin() + maskBits, file.end(), 0, std::plus{},
                                    [](std::uint8_t bits) { return std::popcount(bits); }),
              2);
}

TEST(IconFile, RefusesImagesTheFormatCannotHold) {
    IndexedImage truncated(4);
    truncated.pixels.pop_back();
    for (const IndexedImage& image : {IndexedImage(0), IndexedImage(256), Filled(4, 16), truncated}) {
        EXPECT_THROW(EncodeIconFile({image}, VgaPalette()), std::invalid_argument) << image.size;
    }
}

std::vector<std::uint8_t> ReadResource(const char* name) {
    std::ifstream stream(std::filesystem::path(TARNWATCH_RESOURCES_DIR) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

TEST(ProgramIcons, CommittedFilesAreWhatTheGeneratorDrawsAs32And16Pixel16ColourImages) {
    EXPECT_EQ(ReadResource("tarnwatch_yellow.ico"), YellowIconFile()) << "run scripts/make-icons";
    const auto file = ReadResource("tarnwatch_blue.ico");
    EXPECT_EQ(file, BlueIconFile()) << "run scripts/make-icons";
    ASSERT_EQ(U32At(file, 0), 1u << 16) << "type 1 is an icon, 2 would be a cursor";
    ASSERT_EQ(U16At(file, 4), 2u);
    std::uint32_t offset = 6 + 2 * 16;
    for (const std::uint32_t pixels : {32u, 16u}) {
        SCOPED_TRACE(pixels);
        const std::size_t entry = pixels == 32 ? 6 : 6 + 16;
        // 40 header + 64 palette + rows of 4-bit pixels + mask rows of 1 bit, each row padded to 4 bytes.
        const std::uint32_t size = 40 + 64 + pixels * pixels / 2 + pixels * 4;
        EXPECT_EQ(U32At(file, entry), pixels | pixels << 8 | 16u << 16) << "width, height, colour count";
        EXPECT_EQ(U32At(file, entry + 4), 1u | 4u << 16) << "one plane, four bits per pixel";
        EXPECT_EQ(U32At(file, entry + 8), size);
        ASSERT_EQ(U32At(file, entry + 12), offset);
        EXPECT_EQ(U32At(file, offset), 40u);
        EXPECT_EQ(U32At(file, offset + 4), pixels);
        EXPECT_EQ(U32At(file, offset + 8), 2 * pixels) << "height counts the colour bitmap and the mask";
        EXPECT_EQ(U32At(file, offset + 12), 1u | 4u << 16);
        EXPECT_EQ(U32At(file, offset + 16), 0u) << "uncompressed";
        EXPECT_EQ(U32At(file, offset + 20), size - 104);
        for (std::uint32_t i = 0; i < 16; ++i) {
            const Rgb colour = VgaPalette()[i];
            EXPECT_EQ(U32At(file, offset + 40 + 4 * i), colour.blue | colour.green << 8 | colour.red << 16)
                << i;
        }
        offset += size;
    }
    EXPECT_EQ(file.size(), offset);
}

} // namespace
} // namespace tarnwatch::icons
