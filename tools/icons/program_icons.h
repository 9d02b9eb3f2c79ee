// The program's icon: a watching eye, in yellow for the program and in cyan for "new requests".
#pragma once

#include "tools/icons/icon_file.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarnwatch::icons {

// The standard 16-colour VGA palette, so the icons look the same on every display depth.
const Palette& VgaPalette();

enum class Colouring { Yellow, Blue };

// The sizes the icons are drawn at: 32 and 16 pixels at 96 DPI, and what the window, the tray and the About
// box take at 144 and 192 DPI, so that none of them is stretched from another size.
inline constexpr std::array<int, 5> IconSizes{32, 16, 48, 24, 64};

// The figure at one size, in palette indexes.
IndexedImage DrawWatchingEye(int sizePixels, Colouring colouring);

// Complete .ico files, 32x32 image first.
std::vector<std::uint8_t> YellowIconFile();
std::vector<std::uint8_t> BlueIconFile();

} // namespace tarnwatch::icons
