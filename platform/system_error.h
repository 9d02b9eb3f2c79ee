// Failed Windows calls in the system's own words.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace tarnwatch::win {

// The system's text for an error code from GetLastError, without the line end it ends with; the bare number
// where the system has no text for it.
std::wstring SystemErrorText(DWORD error);

// A Windows call failed: what the program was doing, and the system's reason.
class WindowsError : public std::runtime_error {
public:
    // Takes the error code rather than reading it, so that nothing can overwrite it on the way here.
    WindowsError(const std::wstring& action, DWORD error);
};

} // namespace tarnwatch::win
