#include "tools/icons/icon_file.h"

#include <stdexcept>

namespace tarnwatch::icons {
namespace {

constexpr std::uint32_t DirectorySize = 6;
constexpr std::uint32_t DirectoryEntrySize = 16;
constexpr std::uint32_t BitmapHeaderSize = 40;
constexpr std::uint32_t PaletteSize = 16 * 4;

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void U8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void U16(std::uint32_t value) {
        U8(value & 0xFF);
        U8(value >> 8);
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }

private:
    std::vector<std::uint8_t>& bytes_;
};

// Bitmap rows are padded to whole 32-bit words.
std::uint32_t RowBytes(int size, int bitsPerPixel) {
    const auto bits = static_cast<std::uint32_t>(size * bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

std::uint32_t ImageBytes(int size) {
    const auto rows = static_cast<std::uint32_t>(size);
    return BitmapHeaderSize + PaletteSize + rows * RowBytes(size, 4) + rows * RowBytes(size, 1);
}

void WriteImage(const IndexedImage& image, const Palette& palette, LittleEndianWriter& out) {
    const int size = image.size;
    const auto colourRow = RowBytes(size, 4);
    const auto maskRow = RowBytes(size, 1);
    const auto rows = static_cast<std::uint32_t>(size);

    out.U32(BitmapHeaderSize);
    out.U32(static_cast<std::uint32_t>(size));
    // The height covers the colour bitmap and the mask stacked on each other.
    out.U32(static_cast<std::uint32_t>(size * 2));
    out.U16(1);
    out.U16(4);
    out.U32(0);
    out.U32(rows * (colourRow + maskRow));
    out.U32(0);
    out.U32(0);
    out.U32(16);
    out.U32(0);
    for (const Rgb& colour : palette) {
        out.U8(colour.blue);
        out.U8(colour.green);
        out.U8(colour.red);
        out.U8(0);
    }

    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < size; ++x) {
            const std::uint8_t index = image.At(x, y);
            // Transparent pixels are black in the colour bitmap so that the AND mask alone decides.
            const std::uint8_t colour = index == TransparentPixel ? 0 : index;
            row[static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? colour << 4 : colour);
        }
        for (auto byte : row) {
            out.U8(byte);
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x) {
            if (image.At(x, y) == TransparentPixel) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        for (auto byte : row) {
            out.U8(byte);
        }
    }
}

} // namespace

std::vector<std::uint8_t> EncodeIconFile(const std::vector<IndexedImage>& images, const Palette& palette) {
    for (const auto& image : images) {
        if (image.size < 1 || image.size > 255 ||
            image.pixels.size() != static_cast<std::size_t>(image.size * image.size)) {
            throw std::invalid_argument("icon images must be square and 1 to 255 pixels wide");
        }
        for (auto index : image.pixels) {
            if (index >= palette.size() && index != TransparentPixel) {
                throw std::invalid_argument("icon pixel outside the 16-colour palette");
            }
        }
    }

    std::vector<std::uint8_t> bytes;
    LittleEndianWriter out(bytes);
    out.U16(0);
    out.U16(1);
    out.U16(static_cast<std::uint32_t>(images.size()));

    auto offset = DirectorySize + DirectoryEntrySize * static_cast<std::uint32_t>(images.size());
    for (const auto& image : images) {
        out.U8(static_cast<std::uint32_t>(image.size));
        out.U8(static_cast<std::uint32_t>(image.size));
        out.U8(16);
        out.U8(0);
        out.U16(1);
        out.U16(4);
        out.U32(ImageBytes(image.size));
        out.U32(offset);
        offset += ImageBytes(image.size);
    }
    for (const auto& image : images) {
        WriteImage(image, palette, out);
    }
    return bytes;
}

} // namespace tarnwatch::icons
