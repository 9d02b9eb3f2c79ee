// What becomes of an exception that reaches a function the system calls back (a window or subclass
// procedure, an enumeration callback): unwinding on through user32 would end the process or be swallowed,
// depending on the Windows version, so it stops there and the user is told.
#pragma once

#include "engine/ports.h"

#include <exception>

namespace tarnwatch::win {

// Whether the program goes on as before, or the window that failed is not there.
enum class AfterError { GoesOn, WindowNotOpened };

// Shows one box naming the error, with the critical icon. While such a box is open, timer ticks and other
// messages keep running under it; errors they meet are not stacked up in further boxes.
void ReportUnexpectedError(MessageBoxes& boxes, const char* what, AfterError after = AfterError::GoesOn);

// Runs the body of a callback; false when it failed, which has then been reported.
template <typename Body>
bool RunGuarded(MessageBoxes& boxes, Body&& body, AfterError after = AfterError::GoesOn) noexcept {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ReportUnexpectedError(boxes, error.what(), after);
    } catch (...) {
        ReportUnexpectedError(boxes, "an exception of unknown type", after);
    }
    return false;
}

} // namespace tarnwatch::win
