// The real DPI of the screen a window is on, and the program's font at that DPI.
#pragma once

#include "platform/handles.h"

#include <windows.h>

namespace tarnwatch::win {

// DPI of the window's monitor (or of the primary screen for a null window).
int WindowDpi(HWND window);

// Tahoma 9.75 pt, the font of every window of the program, at the given DPI.
FontHandle CreateProgramFont(int dpi, bool bold = false);

// The program's yellow icon at the given size in pixels.
HICON LoadProgramIcon(HINSTANCE instance, int sizePixels);

} // namespace tarnwatch::win
