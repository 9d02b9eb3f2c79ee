#include "icon_file.h"
#include "program_icons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <set>
#include <stdexcept>

namespace tarnwatch::icons {
namespace {

std::uint32_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return U16At(bytes, at) | U16At(bytes, at + 2) << 16;
}

Palette NumberedPalette() {
    Palette palette;
    for (std::uint8_t i = 0; i < palette.size(); ++i) {
        palette[i] = {i, static_cast<std::uint8_t>(i + 100), static_cast<std::uint8_t>(i + 200)};
    }
    return palette;
}

IndexedImage Filled(int size, std::uint8_t index) {
    IndexedImage image(size);
    std::fill(image.pixels.begin(), image.pixels.end(), index);
    return image;
}

TEST(IconFile, DirectoryAndBitmapHeadersDescribeEveryPaddedImageAndItsBgrPalette) {
    const auto file = EncodeIconFile({Filled(32, 1), Filled(3, 2)}, NumberedPalette());
    EXPECT_EQ(U16At(file, 0), 0u);
    EXPECT_EQ(U16At(file, 2), 1u) << "type 1 is an icon, 2 would be a cursor";
    ASSERT_EQ(U16At(file, 4), 2u);

    // 40 header + 64 palette + colour rows of 4-bit pixels + mask rows of 1 bit, each row padded to 4 bytes.
    const std::uint32_t sizes[2] = {40 + 64 + 32 * 16 + 32 * 4, 40 + 64 + 3 * 4 + 3 * 4};
    std::uint32_t offset = 6 + 2 * 16;
    for (std::size_t entry = 0; entry < 2; ++entry) {
        SCOPED_TRACE(entry);
        const std::size_t at = 6 + 16 * entry;
        const std::uint32_t pixels = entry == 0 ? 32 : 3;
        EXPECT_EQ(file[at], pixels);
        EXPECT_EQ(file[at + 1], pixels);
        EXPECT_EQ(file[at + 2], 16) << "colour count";
        EXPECT_EQ(U32At(file, at + 4), 1u | 4u << 16) << "one plane, four bits per pixel";
        EXPECT_EQ(U32At(file, at + 8), sizes[entry]);
        ASSERT_EQ(U32At(file, at + 12), offset);

        EXPECT_EQ(U32At(file, offset), 40u);
        EXPECT_EQ(U32At(file, offset + 4), pixels);
        EXPECT_EQ(U32At(file, offset + 8), 2 * pixels) << "height counts the colour bitmap and the mask";
        EXPECT_EQ(U32At(file, offset + 12), 1u | 4u << 16);
        EXPECT_EQ(U32At(file, offset + 16), 0u) << "uncompressed";
        EXPECT_EQ(U32At(file, offset + 20), sizes[entry] - 104);
        for (std::uint32_t i = 0; i < 16; ++i) {
            EXPECT_EQ(U32At(file, offset + 40 + 4 * i), (i + 200) | (i + 100) << 8 | i << 16) << i;
        }
        offset += sizes[entry];
    }
    EXPECT_EQ(file.size(), offset);
}

TEST(IconFile, RowsGoBottomUpLeftPixelInTheHighNibbleAndOnlyTransparentPixelsMaskedAndBlack) {
    IndexedImage image = Filled(16, 0);
    image.At(0, 0) = 9;
    image.At(1, 0) = 2;
    image.At(2, 0) = 7;
    image.At(9, 0) = TransparentPixel;
    image.At(0, 15) = TransparentPixel;
    image.At(2, 15) = 5;
    const auto file = EncodeIconFile({image}, NumberedPalette());
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
        EXPECT_THROW(EncodeIconFile({image}, NumberedPalette()), std::invalid_argument) << image.size;
    }
}

std::vector<std::uint8_t> ReadResource(const char* name) {
    std::ifstream stream(std::filesystem::path(TARNWATCH_RESOURCES_DIR) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

TEST(ProgramIcons, CommittedFilesAreWhatTheGeneratorDraws) {
    EXPECT_EQ(ReadResource("tarnwatch_yellow.ico"), YellowIconFile()) << "run scripts/make-icons";
    EXPECT_EQ(ReadResource("tarnwatch_blue.ico"), BlueIconFile()) << "run scripts/make-icons";
}

TEST(ProgramIcons, BothColouringsDrawTheSameFigureInTheirOwnColours) {
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    for (const int size : {32, 16}) {
        SCOPED_TRACE(size);
        const auto yellowEye = DrawWatchingEye(size, Colouring::Yellow);
        const auto blueEye = DrawWatchingEye(size, Colouring::Blue);
        std::set<Rgb> yellowColours;
        std::set<Rgb> blueColours;
        for (std::size_t i = 0; i < yellowEye.pixels.size(); ++i) {
            const auto y = yellowEye.pixels[i];
            const auto b = blueEye.pixels[i];
            ASSERT_EQ(y == TransparentPixel, b == TransparentPixel) << "pixel " << i;
            if (y != TransparentPixel) {
                yellowColours.insert(VgaPalette()[y]);
                blueColours.insert(VgaPalette()[b]);
            }
        }
        EXPECT_EQ(yellowColours, (std::set<Rgb>{{255, 255, 0}, {128, 128, 0}, black, white}));
        EXPECT_EQ(blueColours, (std::set<Rgb>{{0, 255, 255}, {0, 128, 128}, black, white}));
        // A figure that fills the square or vanishes would show as a block or nothing in the tray.
        const auto opaque =
            std::ranges::count_if(yellowEye.pixels, [](auto p) { return p != TransparentPixel; });
        EXPECT_GT(opaque, size * size / 4);
        EXPECT_LT(opaque, size * size * 3 / 4);
        for (const int at : {0, size - 1, size * (size - 1), size * size - 1}) {
            EXPECT_EQ(yellowEye.pixels[static_cast<std::size_t>(at)], TransparentPixel) << at;
        }
    }
}

} // namespace
} // namespace tarnwatch::icons
