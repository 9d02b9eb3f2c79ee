#include "engine/log_reader.h"

#include <algorithm>
#include <cstring>

namespace tarnwatch {

namespace {

constexpr char Cr = '\r';
constexpr char Lf = '\n';

// At the end of the data the reader re-reads the final line end as a blank line; the fourth blank line of a
// pass is what ends it.
constexpr int MaxBlankLinesPerPass = 3;

const char* FindCr(const char* begin, const char* end) {
    return begin == end
               ? nullptr
               : static_cast<const char*>(std::memchr(begin, Cr, static_cast<std::size_t>(end - begin)));
}

// Request lines start with a digit, so the first byte nearly always settles it.
bool IsBlank(std::string_view line) {
    return line.empty() || (line.front() == ' ' && line.find_first_not_of(' ') == std::string_view::npos);
}

struct Line {
    std::string_view Text;
    // 0-based position of the byte after the line end.
    std::int64_t Next = 0;
};

// The part of the file that sits in the buffer. Positions are 0-based; nothing at or past length is read.
// The buffer only grows to what the data needs, up to capacity, so a pass over a few new lines stays small.
class FileWindow {
public:
    FileWindow(SharedReadFile& file, std::vector<char>& buffer, std::size_t capacity, std::int64_t length,
               LineSink& sink)
        : file_(file), buffer_(buffer), capacity_(capacity), length_(length), sink_(sink) {}

    std::int64_t Length() const { return length_; }

    bool HasByte(std::int64_t position, char byte) {
        if (position < start_ || position >= start_ + Size()) {
            Load(position);
        }
        return position < start_ + Size() && buffer_[static_cast<std::size_t>(position - start_)] == byte;
    }

    // False when the line at position has no line end yet: no CR, or a CR as the last byte whose LF may
    // still be on its way.
    bool ReadLine(std::int64_t position, Line& line) {
        for (;;) {
            if (position < start_ || position > start_ + Size()) {
                Load(position);
            }
            const char* const begin = buffer_.data() + (position - start_);
            const char* const end = buffer_.data() + size_;
            const char* const cr = FindCr(begin, end);
            if (cr != nullptr && cr + 1 < end) {
                line.Text = std::string_view(begin, static_cast<std::size_t>(cr - begin));
                line.Next = position + (cr - begin) + (cr[1] == Lf ? 2 : 1);
                return true;
            }
            if (start_ + Size() >= length_) {
                return false;
            }
            if (position > start_ || size_ == 0) {
                Load(position);
            } else if (!FitLongLine(position)) {
                return false;
            }
        }
    }

private:
    std::int64_t Size() const { return static_cast<std::int64_t>(size_); }

    void Load(std::int64_t position) {
        sink_.ReleaseLines();
        start_ = position;
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(
            static_cast<std::int64_t>(capacity_), std::max<std::int64_t>(length_ - position, 0)));
        if (buffer_.size() < wanted) {
            buffer_.resize(wanted);
        }
        size_ = wanted == 0 ? 0 : file_.ReadAt(position, buffer_.data(), wanted);
        if (size_ < wanted) {
            // The file shrank under us: what is there is all this pass can read.
            length_ = start_ + Size();
        }
    }

    // The line at position fills the whole window. Looks ahead for its CR and widens the window to hold the
    // line and the byte after the CR, so that only complete lines cost memory.
    bool FitLongLine(std::int64_t position) {
        std::int64_t scan = start_ + Size() - 1;
        for (;;) {
            Load(scan);
            if (size_ == 0) {
                return false;
            }
            if (const char* const cr = FindCr(buffer_.data(), buffer_.data() + size_)) {
                const std::int64_t needed = std::min(scan + (cr - buffer_.data()) + 2, length_) - position;
                capacity_ = static_cast<std::size_t>(needed);
                Load(position);
                return true;
            }
            scan = start_ + Size();
        }
    }

    SharedReadFile& file_;
    std::vector<char>& buffer_;
    std::size_t capacity_;
    std::int64_t length_;
    LineSink& sink_;
    std::int64_t start_ = 0;
    std::size_t size_ = 0;
};

void ReadLines(SharedState& state, FileWindow& window, LineSink& sink, MessagePump& pump) {
    std::int64_t position = state.ReadOffset - 1;
    // The start-up search can land on the LF of the last CR LF; that LF ends the previous line.
    if (position > 0 && window.HasByte(position - 1, Cr) && window.HasByte(position, Lf)) {
        ++position;
        state.ReadOffset = position + 1;
    }

    int blankLines = 0;
    Line line;
    while (window.ReadLine(position, line)) {
        if (IsBlank(line.Text) && ++blankLines > MaxBlankLinesPerPass) {
            break;
        }
        // After the last line end of the data the reader rests on its CR, so the next pass starts with a
        // blank line there and then moves on to whatever was appended.
        position = line.Next >= window.Length() ? line.Next - 2 : line.Next;
        state.ReadOffset = position + 1;
        sink.OnLine(line.Text);
        pump.ProcessPendingMessages();
    }
}

} // namespace

LogReader::LogReader(FileSystem& files, MessagePump& pump, std::size_t bufferBytes)
    : files_(files), pump_(pump), bufferBytes_(std::max<std::size_t>(bufferBytes, 1)) {}

void LogReader::ReadPass(SharedState& state, LineSink& sink) {
    const auto file = files_.OpenShared(state.LogFilePath);
    if (!file) {
        return;
    }
    const std::int64_t length = file->Length();
    if (state.ReadOffset < 1 || length < state.ReadOffset - 1 || length < lastLength_) {
        // Truncated or replaced (or never placed): the content is read from its first byte.
        state.ReadOffset = 1;
    }
    lastLength_ = length;

    FileWindow window(*file, buffer_, bufferBytes_, length, sink);
    try {
        ReadLines(state, window, sink, pump_);
    } catch (...) {
        sink.ReleaseLines();
        throw;
    }
    sink.ReleaseLines();

    if (buffer_.size() > bufferBytes_) {
        // A long line is rare; its memory goes back rather than staying for the rest of the run.
        std::vector<char>().swap(buffer_);
    }
}

} // namespace tarnwatch
