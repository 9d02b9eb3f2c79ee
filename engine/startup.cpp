#include "engine/startup.h"

#include "engine/messages.h"
#include "engine/text.h"

#include <array>

namespace tarnwatch {

namespace {

std::wstring TwoDigits(int value) {
    const int lastTwo = value % 100;
    return std::wstring{static_cast<wchar_t>(L'0' + lastTwo / 10), static_cast<wchar_t>(L'0' + lastTwo % 10)};
}

// The field list is ASCII, so comparing the line's bytes is the same as comparing its characters.
std::string RequiredFieldListBytes() {
    const std::wstring_view required = TrimSpaces(messages::RequiredFieldList);
    return std::string(required.begin(), required.end());
}

// Whether the line starting at the 0-based position has anything but spaces before its CR.
bool ProbeFindsText(SharedReadFile& file, std::int64_t position) {
    std::array<char, 256> chunk{};
    for (;;) {
        const std::size_t count = file.ReadAt(position, chunk.data(), chunk.size());
        for (std::size_t i = 0; i < count; ++i) {
            if (chunk[i] == '\r') {
                return false;
            }
            if (chunk[i] != ' ') {
                return true;
            }
        }
        if (count < chunk.size()) {
            return false;
        }
        position += static_cast<std::int64_t>(count);
    }
}

} // namespace

std::wstring TodayLogFileName(const CivilDate& date) {
    return L"ex" + TwoDigits(date.Year) + TwoDigits(date.Month) + TwoDigits(date.Day) + L".log";
}

bool HasRequiredFieldList(FileSystem& files, const std::wstring& logPath) {
    const auto file = files.OpenShared(logPath);
    if (!file) {
        return true;
    }
    constexpr std::size_t FieldLineIndex = 3;
    std::string head;
    std::array<char, 4096> chunk{};
    for (std::int64_t position = 0;;) {
        const std::size_t count = file->ReadAt(position, chunk.data(), chunk.size());
        head.append(chunk.data(), count);
        position += static_cast<std::int64_t>(count);
        const auto lines = SplitTextLines(head);
        // The fourth line is whole once a fifth has begun or the file has ended.
        if (lines.size() > FieldLineIndex + 1 || count < chunk.size()) {
            return lines.size() <= FieldLineIndex ||
                   TrimSpaces(lines[FieldLineIndex]) == RequiredFieldListBytes();
        }
    }
}

std::int64_t FindStartOffset(FileSystem& files, const std::wstring& logPath) {
    if (!files.IsPlainFile(logPath)) {
        return 0;
    }
    const auto file = files.OpenShared(logPath);
    if (!file) {
        return 0;
    }
    // A halving search that skips what the file already holds: it ends close to the end of the data.
    const std::int64_t length = file->Length();
    std::int64_t position = 1;
    for (std::int64_t span = length;;) {
        const std::int64_t half = span / 2;
        if (half == 0) {
            break;
        }
        bool found = false;
        for (std::int64_t step = 0; step < 4 && !found; ++step) {
            const std::int64_t probe = position + half + step;
            if (probe > length) {
                return position;
            }
            found = ProbeFindsText(*file, probe - 1);
        }
        if (!found) {
            break;
        }
        position += half;
        span = half;
    }
    return position;
}

} // namespace tarnwatch
