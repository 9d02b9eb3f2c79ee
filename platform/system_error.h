// What went wrong in a Windows call, in the system's own words.
#pragma once

#include <windows.h>

#include <string>

namespace tarnwatch::win {

// The system's text for an error code from GetLastError, without the line end it ends with; the bare number
// where the system has no text for it.
std::wstring SystemErrorText(DWORD error);

} // namespace tarnwatch::win
