#include "icon_file.h"
#include "program_icons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const auto value = static_cast<std::uint8_t>(i);
        palette[i] = {value, static_cast<std::uint8_t>(value + 100), static_cast<std::uint8_t>(value + 200)};
    }
    return palette;
}

IndexedImage Filled(int size, std::uint8_t index) {
    IndexedImage image(size);
    std::fill(image.pixels.begin(), image.pixels.end(), index);
    return image;
}

// Where an image's colour bitmap and mask start, read back from the directory entry.
struct ImageLayout {
    std::size_t header;
    std::size_t colourBits;
    std::size_t maskBits;
};

ImageLayout LayoutOf(const std::vector<std::uint8_t>& file, std::size_t entry, int size) {
    const std::size_t header = U32At(file, 6 + 16 * entry + 12);
    const std::size_t colourRow = (static_cast<std::size_t>(size) * 4 + 31) / 32 * 4;
    const std::size_t colourBits = header + 40 + 64;
    return {header, colourBits, colourBits + colourRow * static_cast<std::size_t>(size)};
}

TEST(IconFile, DirectoryDescribesEveryImageAndPointsAtIt) {
    const auto file = EncodeIconFile({Filled(32, 1), Filled(16, 2)}, NumberedPalette());

    EXPECT_EQ(U16At(file, 0), 0u);
    EXPECT_EQ(U16At(file, 2), 1u) << "type 1 is an icon, 2 would be a cursor";
    ASSERT_EQ(U16At(file, 4), 2u);

    // 40 header + 64 palette + 32 rows of 16 colour bytes + 32 rows of 4 mask bytes.
    const std::uint32_t large = 40 + 64 + 32 * 16 + 32 * 4;
    // A 16-pixel mask row of two bytes is padded to four.
    const std::uint32_t small = 40 + 64 + 16 * 8 + 16 * 4;
    const std::uint32_t firstImage = 6 + 2 * 16;
    const std::uint32_t expected[2][3] = {{32, large, firstImage}, {16, small, firstImage + large}};
    for (std::size_t entry = 0; entry < 2; ++entry) {
        const std::size_t at = 6 + 16 * entry;
        SCOPED_TRACE(entry);
        EXPECT_EQ(file[at], expected[entry][0]);
        EXPECT_EQ(file[at + 1], expected[entry][0]);
        EXPECT_EQ(file[at + 2], 16) << "colour count";
        EXPECT_EQ(U16At(file, at + 4), 1u) << "planes";
        EXPECT_EQ(U16At(file, at + 6), 4u) << "bits per pixel";
        EXPECT_EQ(U32At(file, at + 8), expected[entry][1]);
        EXPECT_EQ(U32At(file, at + 12), expected[entry][2]);
    }
    EXPECT_EQ(file.size(), firstImage + large + small);
}

TEST(IconFile, BitmapHeaderStacksColourAndMaskAndStoresThePaletteAsBgr) {
    const auto file = EncodeIconFile({Filled(16, 3)}, NumberedPalette());
    const auto layout = LayoutOf(file, 0, 16);

    EXPECT_EQ(U32At(file, layout.header), 40u);
    EXPECT_EQ(U32At(file, layout.header + 4), 16u);
    EXPECT_EQ(U32At(file, layout.header + 8), 32u) << "height counts the colour bitmap and the mask";
    EXPECT_EQ(U16At(file, layout.header + 14), 4u);
    EXPECT_EQ(U32At(file, layout.header + 16), 0u) << "uncompressed";
    EXPECT_EQ(U32At(file, layout.header + 20), 16u * 8 + 16u * 4);

    const std::size_t palette = layout.header + 40;
    for (std::size_t i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(file[palette + 4 * i], i + 200) << "blue first";
        EXPECT_EQ(file[palette + 4 * i + 1], i + 100);
        EXPECT_EQ(file[palette + 4 * i + 2], i);
        EXPECT_EQ(file[palette + 4 * i + 3], 0);
    }
}

TEST(IconFile, RowsAreStoredBottomUpWithTheLeftPixelInTheHighNibble) {
    IndexedImage image = Filled(3, 0);
    image.At(0, 0) = 9;
    image.At(1, 0) = 2;
    image.At(2, 0) = 7;
    image.At(2, 2) = 5;
    const auto file = EncodeIconFile({image}, NumberedPalette());
    const auto layout = LayoutOf(file, 0, 3);

    // Three 4-bit pixels take two bytes, padded to a four-byte row.
    const std::size_t topRow = layout.colourBits + 2 * 4;
    EXPECT_EQ(file[topRow], 0x92);
    EXPECT_EQ(file[topRow + 1], 0x70);
    EXPECT_EQ(file[topRow + 2], 0);
    EXPECT_EQ(file[topRow + 3], 0);
    const std::size_t bottomRow = layout.colourBits;
    EXPECT_EQ(file[bottomRow], 0x00);
    EXPECT_EQ(file[bottomRow + 1], 0x50);
}

TEST(IconFile, TransparentPixelsAreMaskedAndBlackWhileBlackStaysOpaque) {
    IndexedImage image = Filled(16, 0);
    image.At(9, 0) = TransparentPixel;
    image.At(0, 15) = TransparentPixel;
    const auto file = EncodeIconFile({image}, NumberedPalette());
    const auto layout = LayoutOf(file, 0, 16);

    const std::size_t maskRow = 4;
    const std::size_t topMaskRow = layout.maskBits + 15 * maskRow;
    EXPECT_EQ(file[topMaskRow], 0x00);
    EXPECT_EQ(file[topMaskRow + 1], 0x40);
    EXPECT_EQ(file[layout.maskBits], 0x80);
    std::size_t maskedPixels = 0;
    for (std::size_t at = layout.maskBits; at < layout.maskBits + 16 * maskRow; ++at) {
        maskedPixels += static_cast<std::size_t>(std::popcount(file[at]));
    }
    EXPECT_EQ(maskedPixels, 2u);
    EXPECT_EQ(file[layout.colourBits + 15 * 8 + 4], 0x00) << "a masked pixel must not tint the desktop";
}

TEST(IconFile, RefusesImagesTheFormatCannotHold) {
    EXPECT_THROW(EncodeIconFile({IndexedImage(0)}, NumberedPalette()), std::invalid_argument);
    EXPECT_THROW(EncodeIconFile({IndexedImage(256)}, NumberedPalette()), std::invalid_argument);
    EXPECT_THROW(EncodeIconFile({Filled(4, 16)}, NumberedPalette()), std::invalid_argument);
    IndexedImage truncated(4);
    truncated.pixels.pop_back();
    EXPECT_THROW(EncodeIconFile({truncated}, NumberedPalette()), std::invalid_argument);
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
    const auto& palette = VgaPalette();
    const Rgb yellow{255, 255, 0}, darkYellow{128, 128, 0}, cyan{0, 255, 255}, darkCyan{0, 128, 128};
    const Rgb black{0, 0, 0}, white{255, 255, 255};

    for (int size : {32, 16}) {
        SCOPED_TRACE(size);
        const auto yellowEye = DrawWatchingEye(size, Colouring::Yellow);
        const auto blueEye = DrawWatchingEye(size, Colouring::Blue);
        std::set<Rgb> yellowColours;
        std::set<Rgb> blueColours;
        std::size_t opaque = 0;
        for (std::size_t i = 0; i < yellowEye.pixels.size(); ++i) {
            const auto y = yellowEye.pixels[i];
            const auto b = blueEye.pixels[i];
            ASSERT_EQ(y == TransparentPixel, b == TransparentPixel) << "pixel " << i;
            if (y != TransparentPixel) {
                ++opaque;
                yellowColours.insert(palette[y]);
                blueColours.insert(palette[b]);
            }
        }
        EXPECT_EQ(yellowColours, (std::set<Rgb>{yellow, darkYellow, black, white}));
        EXPECT_EQ(blueColours, (std::set<Rgb>{cyan, darkCyan, black, white}));
        // A figure that fills the square or vanishes would show as a block or nothing in the tray.
        EXPECT_GT(opaque, yellowEye.pixels.size() / 4);
        EXPECT_LT(opaque, yellowEye.pixels.size() * 3 / 4);
        const int last = size - 1;
        for (auto [x, y] : {std::pair{0, 0}, std::pair{last, 0}, std::pair{0, last}, std::pair{last, last}}) {
            EXPECT_EQ(yellowEye.At(x, y), TransparentPixel) << x << "," << y;
        }
    }
}

} // namespace
} // namespace tarnwatch::icons
