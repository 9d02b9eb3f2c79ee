// Finding and checking today's log file at start-up.
#pragma once

#include "engine/ports.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwatch {

// "ex" + yymmdd + ".log" for the given local date.
std::wstring TodayLogFileName(const CivilDate& date);

// True when the fourth line of the log is the required field list; a log of fewer lines passes, and so
// does a file that cannot be opened, since the read passes cope with it.
bool HasRequiredFieldList(FileSystem& files, const std::wstring& logPath);

// 1-based position close to the end of the data at which reading starts; 0 when there is no file.
std::int64_t FindStartOffset(FileSystem& files, const std::wstring& logPath);

} // namespace tarnwatch
