// The frame around a client area at a given DPI: caption, borders and a single-line menu bar.
#pragma once

#include <windows.h>

namespace tarnwatch::win {

// The outer size of a window of this style whose client area has the given size in pixels.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, int dpi);

} // namespace tarnwatch::win
