// Writes Windows .ico files made of 16-colour (4-bit) images with a transparency mask.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <vector>

namespace tarnwatch::icons {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend auto operator<=>(const Rgb&, const Rgb&) = default;
};

using Palette = std::array<Rgb, 16>;

// A pixel that lets the desktop show through instead of a palette colour.
inline constexpr std::uint8_t TransparentPixel = 0xFF;

// Square image of palette indexes, top row first.
struct IndexedImage {
    int size = 0;
    std::vector<std::uint8_t> pixels;

    explicit IndexedImage(int sizePixels)
        : size(sizePixels), pixels(static_cast<std::size_t>(sizePixels * sizePixels), TransparentPixel) {}

    std::uint8_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y * size + x)]; }
    std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
};

// The whole .ico file: directory first, then every image as a bottom-up 4-bit bitmap followed by
// its AND mask, all sharing one palette. Sizes from 1 to 255 pixels.
std::vector<std::uint8_t> EncodeIconFile(const std::vector<IndexedImage>& images, const Palette& palette);

} // namespace tarnwatch::icons
