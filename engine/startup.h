// Finding and checking today's log file.
#pragma once

#include "engine/ports.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwatch {

// "ex" + yymmdd + ".log" for the given local date.
std::wstring TodayLogFileName(const CivilDate& date);

// The folder and the day's file name with exactly one separator between them, whether or not the folder
// was typed with its final backslash.
std::wstring LogPathFor(const std::wstring& folder, const CivilDate& date);

// The part of a path up to and including its last separator.
std::wstring FolderOf(std::wstring_view path);

// The directive that begins a header line naming the fields of the lines after it.
constexpr std::string_view FieldsDirective = "#Fields:";

// Whether a "#Fields:" line, without its line end, names the fields the record parser relies on.
bool IsRequiredFieldList(std::string_view fieldsLine);

// True when the fourth line of the log is the required field list; a log of fewer lines passes, and so
// does a file that cannot be opened, since the read passes cope with it. Reads no more than four lines.
bool HasRequiredFieldList(FileSystem& files, const std::wstring& logPath);

// How far back from the start position start-up looks for the header block in force, so that opening a
// log of any size costs the same; a block further back is taken to be the one at the top.
constexpr std::int64_t FieldListSearchBytes = std::int64_t{64} << 20;
// The search reads this much at a time.
constexpr std::size_t FieldListChunkBytes = std::size_t{1} << 20;

// Whether the last "#Fields:" line that starts within FieldListSearchBytes before the 0-based position is
// the required list; empty when there is none there, or the file cannot be read.
std::optional<bool> FieldListInForceAt(FileSystem& files, const std::wstring& logPath, std::int64_t position);

// The 1-based position after the last complete line: reading starts there, so no request that was in the
// file at start-up becomes a row. 0 when there is no file.
std::int64_t FindStartOffset(FileSystem& files, const std::wstring& logPath);

} // namespace tarnwatch
