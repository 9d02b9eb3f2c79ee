#include "engine/backlog_outline.h"

#include "engine/byte_scan.h"
#include "engine/log_reader.h"
#include "engine/startup.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tarnwatch {

namespace {

constexpr char Cr = '\r';
constexpr char Lf = '\n';
// A field list is a few dozen bytes; a longer directive is not kept whole.
constexpr std::size_t LongestDirective = 4096;

bool IsLineEnd(char byte) {
    return byte == Cr || byte == Lf;
}

// The bytes of [from, end) read backward through one window.
class BackwardReader {
public:
    BackwardReader(SharedReadFile& file, std::int64_t from, std::size_t windowBytes)
        : file_(file), from_(from), window_(windowBytes) {}

    // Empty when the read fails.
    std::optional<char> At(std::int64_t position) {
        if (position < start_ || position >= start_ + size_) {
            const auto end = position + 1;
            start_ = std::max(from_, end - static_cast<std::int64_t>(window_.size()));
            if (!ReadInto(start_, end, window_.data())) {
                size_ = 0;
                return std::nullopt;
            }
            size_ = end - start_;
        }
        return window_[static_cast<std::size_t>(position - start_)];
    }

    // The bytes of [begin, end), from the window where it holds them.
    std::optional<std::string_view> Text(std::int64_t begin, std::int64_t end) {
        if (begin >= start_ && end <= start_ + size_) {
            return std::string_view(window_.data() + (begin - start_), static_cast<std::size_t>(end - begin));
        }
        long_.resize(static_cast<std::size_t>(end - begin));
        if (!ReadInto(begin, end, long_.data())) {
            return std::nullopt;
        }
        return std::string_view(long_);
    }

private:
    bool ReadInto(std::int64_t begin, std::int64_t end, char* into) {
        const auto wanted = static_cast<std::size_t>(end - begin);
        const auto read = file_.ReadAt(begin, into, wanted);
        return read && *read == wanted;
    }

    SharedReadFile& file_;
    std::int64_t from_;
    std::vector<char> window_;
    std::int64_t start_ = 0;
    std::int64_t size_ = 0;
    std::string long_;
};

} // namespace

std::optional<BacklogOutline> OutlineBacklog(SharedReadFile& file, std::int64_t from, std::int64_t length,
                                             std::size_t windowBytes, std::int64_t longestLine,
                                             LineSink& sink, std::size_t rowsEnough) {
    BacklogOutline outline;
    outline.Cut = from;
    std::int64_t lastLineEnd = -1;
    {
        std::vector<char> window(windowBytes);
        char before = Lf;
        for (std::int64_t at = from; at < length;) {
            const auto wanted =
                static_cast<std::size_t>(std::min<std::int64_t>(length - at, std::ssize(window)));
            const auto read = file.ReadAt(at, window.data(), wanted);
            if (!read || *read < wanted) {
                return std::nullopt;
            }
            const char* const begin = window.data();
            const char* const end = begin + wanted;
            for (const char* hash = FindByte(begin, end, '#'); hash != nullptr;
                 hash = FindByte(hash + 1, end, '#')) {
                if (IsLineEnd(hash == begin ? before : hash[-1])) {
                    outline.Directives.push_back(at + (hash - begin));
                }
            }
            for (const char* last = end; last > begin; --last) {
                if (IsLineEnd(last[-1])) {
                    lastLineEnd = at + (last - 1 - begin);
                    break;
                }
            }
            before = end[-1];
            at += static_cast<std::int64_t>(wanted);
        }
    }

    // The field lists met in the run, for the lines after them.
    std::vector<std::pair<std::int64_t, std::string>> fieldLists;
    for (const std::int64_t directive : outline.Directives) {
        std::string text(LongestDirective, '\0');
        const auto read = file.ReadAt(directive, text.data(), text.size());
        if (!read) {
            return std::nullopt;
        }
        text.resize(*read);
        text.erase(std::find_if(text.begin(), text.end(), IsLineEnd), text.end());
        if (std::string_view(text).starts_with(FieldsDirective)) {
            fieldLists.emplace_back(directive, std::move(text));
        }
    }

    BackwardReader bytes(file, from, windowBytes);
    std::size_t rows = 0;
    for (std::int64_t end = lastLineEnd + 1; end > from && rows < rowsEnough;) {
        // end is just past a line end: CR, LF, or the LF of a CR LF.
        std::int64_t lineEnd = end - 1;
        const std::optional<char> last = bytes.At(lineEnd);
        if (!last) {
            return std::nullopt;
        }
        if (*last == Lf && lineEnd > from) {
            const std::optional<char> cr = bytes.At(lineEnd - 1);
            if (!cr) {
                return std::nullopt;
            }
            lineEnd -= *cr == Cr ? 1 : 0;
        }
        std::int64_t lineStart = lineEnd;
        for (; lineStart > from; --lineStart) {
            const std::optional<char> byte = bytes.At(lineStart - 1);
            if (!byte) {
                return std::nullopt;
            }
            if (IsLineEnd(*byte)) {
                break;
            }
        }
        if (lineEnd - lineStart <= longestLine) {
            const std::optional<std::string_view> line = bytes.Text(lineStart, lineEnd);
            if (!line) {
                return std::nullopt;
            }
            const auto governing =
                std::lower_bound(fieldLists.begin(), fieldLists.end(), lineStart,
                                 [](const auto& list, std::int64_t at) { return list.first < at; });
            const std::string_view fieldsLine = governing == fieldLists.begin()
                                                    ? std::string_view()
                                                    : std::string_view(std::prev(governing)->second);
            if (sink.MakesRow(*line, fieldsLine) && ++rows == rowsEnough) {
                outline.Cut = lineStart;
            }
        }
        end = lineStart;
    }
    return outline;
}

} // namespace tarnwatch
