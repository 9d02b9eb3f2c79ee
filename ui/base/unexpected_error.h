// What becomes of an exception that reaches a window procedure: unwinding on through user32 would end the
// process or be swallowed, depending on the Windows version, so it stops there and the user is told.
#pragma once

#include "engine/ports.h"

namespace tarnwatch::ui {

// Shows one box naming the error, with the critical icon. While such a box is open, timer ticks and other
// messages keep running under it; errors they meet are not stacked up in further boxes.
void ReportUnexpectedError(MessageBoxes& boxes, const char* what);

} // namespace tarnwatch::ui
