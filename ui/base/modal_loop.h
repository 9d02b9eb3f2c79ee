// A window run modally to the whole thread, as a dialog without an owner is.
#pragma once

#include "engine/ports.h"

#include <windows.h>

namespace tarnwatch::ui {

// Disables the thread's other top-level windows, which keep getting their messages (so their timers keep
// ticking), and runs the thread's messages with the dialog manager's keyboard handling for the window until
// done is set or the window is gone. Before it returns, it enables again exactly what it disabled, so that
// the window, once destroyed, hands the activation back to one of the program's windows. Enter presses the
// push button that has the focus; anywhere else, Enter and Esc reach the window as the commands IDOK and
// IDCANCEL, which only a window that closes on them handles.
void RunModalLoop(HWND window, const bool& done, MessageBoxes& boxes);

} // namespace tarnwatch::ui
