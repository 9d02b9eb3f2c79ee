// The screen a window is on: its real DPI, system sizes at that DPI, its area, and fonts sized for it.
#pragma once

#include "platform/handles.h"

#include <windows.h>

namespace tarnwatch::win {

// DPI of the window's monitor (or of the primary screen for a null window).
int WindowDpi(HWND window);

// A system size (SM_CXICON, SM_CXSMICON, ...) at the given DPI.
int SystemMetricForDpi(int index, int dpi);

// The monitor the window is on, or the nearest one: its whole area and the part of it that the taskbar and
// other docked bars leave free, in screen pixels.
struct MonitorAreas {
    RECT Whole;
    RECT Work;
};
MonitorAreas WindowMonitor(HWND window);

// A font of the given face and size in points at the given DPI.
FontHandle CreatePointFont(const wchar_t* face, double points, int dpi, bool bold = false);

} // namespace tarnwatch::win
