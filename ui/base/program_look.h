// What every window of the program shares in its looks: the Tahoma 9.75 pt font and the eye icons.
#pragma once

#include "platform/handles.h"

#include <windows.h>

namespace tarnwatch::ui {

win::FontHandle CreateProgramFont(int dpi, bool bold = false);

enum class ProgramIcon { Yellow, Blue };

// The icon at one of the system's own icon sizes. Shared icons belong to the system: nothing to free.
HICON LoadProgramIcon(HINSTANCE instance, ProgramIcon icon, int sizePixels);

// The icon at any size, as a copy of the program's own.
win::IconHandle LoadProgramIconCopy(HINSTANCE instance, ProgramIcon icon, int sizePixels);

} // namespace tarnwatch::ui
