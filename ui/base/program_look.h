// What every window of the program shares in its looks: the Tahoma 9.75 pt font and the eye icons.
#pragma once

#include "platform/handles.h"

#include <windows.h>

namespace tarnwatch::ui {

win::FontHandle CreateProgramFont(int dpi, bool bold = false);

enum class ProgramIcon { Yellow, Blue };

// The icon at the given size, drawn for it where the program has that size. Each size is loaded once and
// kept for the rest of the run, so the handle is the same at every call and there is nothing to free. (The
// system's own sharing of icons would hand out the first size it loaded, whatever size is asked for.)
HICON LoadProgramIcon(HINSTANCE instance, ProgramIcon icon, int sizePixels);

} // namespace tarnwatch::ui
