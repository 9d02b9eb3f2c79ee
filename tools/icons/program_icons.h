// The program's icon: a watching eye, in yellow for the program and in cyan for "new requests".
#pragma once

#include "tools/icons/icon_file.h"

#include <cstdint>
#include <vector>

namespace tarnwatch::icons {

// The standard 16-colour VGA palette, so the icons look the same on every display depth.
const Palette& VgaPalette();

enum class Colouring { Yellow, Blue };

// The figure at one size (the icons carry 32 and 16 pixels), in palette indexes.
IndexedImage DrawWatchingEye(int sizePixels, Colouring colouring);

// Complete .ico files, 32x32 image first.
std::vector<std::uint8_t> YellowIconFile();
std::vector<std::uint8_t> BlueIconFile();

} // namespace tarnwatch::icons
