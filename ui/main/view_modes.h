// The three view modes of the monitor list: which columns show, and how wide they are.
#pragma once

#include <windows.h>

namespace tarnwatch::ui {

enum ViewModeNumber : int { SimpleMode = 1, StandardMode = 2, CompleteMode = 3 };

// Checks the mode's entry in the View menu and sets the column widths of the list at the window's DPI;
// other values change nothing.
void ApplyViewMode(HMENU menuBar, HWND list, int dpi, int mode);

} // namespace tarnwatch::ui
