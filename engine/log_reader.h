// Reads the lines appended to a log since the last pass, byte-exact, through one large buffer.
#pragma once

#include "engine/ports.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwatch {

class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void OnLine(std::string_view line) = 0;
    // The lines handed on so far are about to be overwritten or freed: copy what is still needed of them.
    virtual void ReleaseLines() = 0;
    // How many of the newest rows are all a long run of new lines needs to show; 0 has every line handed on.
    virtual std::size_t RowsEnough() { return 0; }
    // Whether the line would make a row under the given field list line, or under the one in force where the
    // pass began when that is empty. Asked only of a sink that gives RowsEnough.
    virtual bool MakesRow(std::string_view /*line*/, std::string_view /*fieldsLine*/) { return true; }
};

struct ReadSizes {
    // The read window; a line longer than it still reads whole, up to LongestLine.
    std::size_t BufferBytes = std::size_t{1} << 20;
    // A longer line is no request: it is passed over without being held in memory.
    std::int64_t LongestLine = std::int64_t{16} << 20;
    // A pass with at least this much new data, and a few times what the rows enough need, hands on only the
    // directives and the lines that hold the newest rows: the rows before them would be trimmed away.
    std::int64_t SkimBytes = std::int64_t{4} << 20;
    // What one row is taken to need of that, generously.
    std::int64_t SkimBytesPerRow = 4096;
};

class LogReader {
public:
    // The bytes just before the read position, compared at every read: a file that no longer holds them
    // there is another file.
    static constexpr std::size_t TrailBytes = 64;
    // The first bytes of a file, up to the end of its first header block, are compared at every read as
    // well: a server writes the second it made the file into that block, so a new log differs there even
    // where its last lines look like the old one's and the system cannot tell the two files apart.
    static constexpr std::size_t HeadBytes = 1024;

    LogReader(FileSystem& files, MessagePump& pump, const ReadSizes& sizes = {});

    // The next pass reads the file at path from the 1-based position on, taking the file as it finds it.
    void StartAt(std::wstring path, std::int64_t readOffset);

    // Hands every complete line from ReadOffset on to sink, once and in file order, and moves ReadOffset
    // past it. A line ends at CR LF, a lone CR or a lone LF. A file that is not the one the last pass read
    // (replaced, rotated, started over, overwritten) is read from its first byte; a file that cannot be read
    // now is left as it is for the next pass. When sink throws, the pass ends there and the next one hands
    // on the same line again; a line that throws a second time is passed over.
    void ReadPass(LineSink& sink);

    const std::wstring& Path() const { return path_; }
    // The 1-based position in the file where the next line starts.
    std::int64_t ReadOffset() const { return position_ + 1; }

private:
    friend class ReadPassRun;

    void StartOver(const std::optional<FileIdentity>& identity);
    // Goes on at a line start further on, passing over the lines before it.
    void JumpTo(std::int64_t lineStart);
    // Whether the window holds the bytes before the line start, so that going on there keeps the trail.
    bool WindowHolds(std::int64_t lineStart) const {
        return !overlong_ && lineStart >= windowStart_ && lineStart <= frontier_;
    }
    char* Window() { return buffer_.data() + TrailBytes; }

    FileSystem& files_;
    MessagePump& pump_;
    std::size_t bufferBytes_;
    std::int64_t longestLine_;
    std::int64_t skimBytes_;
    std::int64_t skimBytesPerRow_;
    std::wstring path_;

    // Positions are 0-based. The line at position_ is the next to hand on; the file has been read up to
    // frontier_, and the buffer holds [windowStart_, frontier_) after TrailBytes of room, so that a read can
    // take the bytes before frontier_ again to compare them with trail_.
    std::int64_t position_ = 0;
    std::int64_t windowStart_ = 0;
    std::int64_t frontier_ = 0;
    // No line end lies in [position_, scanFrom_).
    std::int64_t scanFrom_ = 0;
    std::vector<char> buffer_;

    // What tells the file apart from another one: its identity, where the system has one, its first bytes
    // and the bytes just before frontier_. Until the first read after StartAt they are not known yet.
    std::optional<FileIdentity> identity_;
    std::string head_;
    bool headComplete_ = false;
    std::string trail_;
    bool trailKnown_ = false;

    // The line before position_ ended with a CR whose LF, if any, has not been read yet.
    bool afterCr_ = false;
    // The line at position_ is longer than longestLine_: its bytes are not kept, only its end is looked for.
    bool overlong_ = false;
    // The line at position_ made the sink throw once.
    bool failedOnce_ = false;
};

} // namespace tarnwatch
