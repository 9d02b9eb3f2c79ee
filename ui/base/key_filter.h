// A text box whose typed characters pass a test before the box sees them.
#pragma once

#include "engine/ports.h"

#include <windows.h>

#include <cstddef>

namespace tarnwatch::ui {

// Decides whether a typed character may reach the box; currentLength is the box's length before it goes in.
using KeyTest = bool (*)(wchar_t character, std::size_t currentLength);

// Every WM_CHAR the box gets is put to the test first; a refused character is dropped. Text that arrives
// another way (pasted from the box's menu, dropped, set by the program) does not pass through here. An
// exception in the box's handling is reported through boxes. Throws when the test cannot be attached to the
// box.
void FilterTypedCharacters(HWND textBox, KeyTest test, MessageBoxes& boxes);

} // namespace tarnwatch::ui
