#include "engine/startup.h"

#include "engine/byte_scan.h"
#include "engine/messages.h"
#include "engine/text.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tarnwatch {

namespace {

constexpr std::size_t ChunkBytes = 64 * 1024;
// A field list is a few dozen bytes; a longer line is no field list, and is not kept whole to find out.
constexpr std::size_t LongestFieldList = 4096;

std::wstring TwoDigits(int value) {
    const int lastTwo = value % 100;
    return std::wstring{static_cast<wchar_t>(L'0' + lastTwo / 10), static_cast<wchar_t>(L'0' + lastTwo % 10)};
}

bool IsLineEnd(char byte) {
    return byte == '\r' || byte == '\n';
}

// The field list is ASCII, so comparing the line's bytes is the same as comparing its characters.
const std::string& RequiredFieldListBytes() {
    static const std::string required = [] {
        const std::wstring_view text = TrimSpaces(messages::RequiredFieldList);
        return std::string(text.begin(), text.end());
    }();
    return required;
}

// The line that starts at the 0-based position, up to LongestFieldList + 1 bytes of it.
std::optional<std::string> LineAt(SharedReadFile& file, std::int64_t position) {
    std::string line(LongestFieldList + 1, '\0');
    const auto read = file.ReadAt(position, line.data(), line.size());
    if (!read) {
        return std::nullopt;
    }
    line.resize(*read);
    line.erase(std::find_if(line.begin(), line.end(), IsLineEnd), line.end());
    return line;
}

} // namespace

std::wstring TodayLogFileName(const CivilDate& date) {
    return L"ex" + TwoDigits(date.Year) + TwoDigits(date.Month) + TwoDigits(date.Day) + L".log";
}

std::wstring LogPathFor(const std::wstring& folder, const CivilDate& date) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
        // A folder written with forward slashes only keeps to them.
        const bool forward = path.find(L'/') != std::wstring::npos && path.find(L'\\') == std::wstring::npos;
        path += forward ? L'/' : L'\\';
    }
    return path + TodayLogFileName(date);
}

std::wstring FolderOf(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return std::wstring(separator == std::wstring_view::npos ? std::wstring_view()
                                                             : path.substr(0, separator + 1));
}

bool IsRequiredFieldList(std::string_view fieldsLine) {
    return TrimSpaces(fieldsLine) == RequiredFieldListBytes();
}

bool HasRequiredFieldList(FileSystem& files, const std::wstring& logPath) {
    const auto file = files.OpenShared(logPath);
    if (!file) {
        return true;
    }
    constexpr int FieldLineIndex = 3;
    std::string fieldLine;
    int line = 0;
    bool afterCr = false;
    bool fourthLineBegun = false;
    std::array<char, ChunkBytes> chunk{};
    for (std::int64_t position = 0;;) {
        const auto read = file->ReadAt(position, chunk.data(), chunk.size());
        if (!read || *read == 0) {
            // The fourth line ends with the file, or the file has fewer lines.
            return line < FieldLineIndex || !fourthLineBegun || IsRequiredFieldList(fieldLine);
        }
        for (std::size_t i = 0; i < *read; ++i) {
            const char byte = chunk[i];
            const bool lfOfCrLf = afterCr && byte == '\n';
            afterCr = byte == '\r';
            if (lfOfCrLf) {
                continue;
            }
            if (IsLineEnd(byte)) {
                if (line == FieldLineIndex) {
                    return IsRequiredFieldList(fieldLine);
                }
                ++line;
            } else if (line == FieldLineIndex) {
                fourthLineBegun = true;
                if (fieldLine.size() <= LongestFieldList) {
                    fieldLine += byte;
                }
            }
        }
        position += static_cast<std::int64_t>(*read);
    }
}

std::optional<bool> FieldListInForceAt(FileSystem& files, const std::wstring& logPath,
                                       std::int64_t position) {
    const auto file = files.OpenShared(logPath);
    if (!file) {
        return std::nullopt;
    }
    // Each chunk is read with the byte before it, which tells whether a directive at its start begins a
    // line, and with the bytes after it that a directive begun in it runs into.
    constexpr auto chunkBytes = static_cast<std::int64_t>(FieldListChunkBytes);
    std::vector<char> chunk(1 + FieldListChunkBytes + FieldsDirective.size());
    const std::int64_t floor = std::max<std::int64_t>(position - FieldListSearchBytes, 0);
    for (std::int64_t end = position; end > floor;) {
        const std::int64_t begin = std::max(end - chunkBytes, floor);
        const std::int64_t readFrom = std::max<std::int64_t>(begin - 1, 0);
        const std::int64_t stop =
            std::min<std::int64_t>(end + static_cast<std::int64_t>(FieldsDirective.size()) - 1, position);
        const auto read = file->ReadAt(readFrom, chunk.data(), static_cast<std::size_t>(stop - readFrom));
        if (!read) {
            return std::nullopt;
        }
        const char* const text = chunk.data();
        const std::string_view readText(text, *read);
        const auto firstAfter = static_cast<std::size_t>(std::min(end - readFrom, std::ssize(readText)));
        std::optional<std::size_t> lastFound;
        for (std::size_t at = static_cast<std::size_t>(begin - readFrom); at < firstAfter;) {
            const char* const hash = FindByte(text + at, text + firstAfter, FieldsDirective.front());
            if (hash == nullptr) {
                break;
            }
            const auto found = static_cast<std::size_t>(hash - text);
            const bool startsLine =
                readFrom + static_cast<std::int64_t>(found) == 0 || IsLineEnd(text[found - 1]);
            if (startsLine && readText.substr(found).starts_with(FieldsDirective)) {
                lastFound = found;
            }
            at = found + 1;
        }
        if (lastFound) {
            const std::optional<std::string> line =
                LineAt(*file, readFrom + static_cast<std::int64_t>(*lastFound));
            return line ? std::optional<bool>(IsRequiredFieldList(*line)) : std::nullopt;
        }
        end = begin;
    }
    return std::nullopt;
}

std::int64_t FindStartOffset(FileSystem& files, const std::wstring& logPath) {
    if (!files.IsPlainFile(logPath)) {
        return 0;
    }
    const auto file = files.OpenShared(logPath);
    const auto length = file ? file->Length() : std::nullopt;
    if (!length) {
        return 0;
    }
    std::array<char, ChunkBytes> chunk{};
    for (std::int64_t end = *length; end > 0;) {
        const std::int64_t begin = std::max<std::int64_t>(end - static_cast<std::int64_t>(chunk.size()), 0);
        const auto read = file->ReadAt(begin, chunk.data(), static_cast<std::size_t>(end - begin));
        if (!read) {
            // What cannot be read counts as read already: better no row than old requests as new ones.
            return *length + 1;
        }
        for (std::size_t i = *read; i-- > 0;) {
            if (IsLineEnd(chunk[i])) {
                // After the line end; the LF of a CR LF that straddles the end of the data is the reader's to
                // skip.
                const std::int64_t lineEnd = begin + static_cast<std::int64_t>(i);
                return lineEnd + 2;
            }
        }
        end = begin;
    }
    return 1;
}

} // namespace tarnwatch
