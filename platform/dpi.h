// The real DPI of the screen a window is on, and fonts sized for it.
#pragma once

#include "platform/handles.h"

#include <windows.h>

namespace tarnwatch::win {

// DPI of the window's monitor (or of the primary screen for a null window).
int WindowDpi(HWND window);

// A font of the given face and size in points at the given DPI.
FontHandle CreatePointFont(const wchar_t* face, double points, int dpi, bool bold = false);

} // namespace tarnwatch::win
