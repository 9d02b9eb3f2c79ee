// Reads the lines appended to the log since the last pass, byte-exact, through one large buffer.
#pragma once

#include "engine/ports.h"
#include "engine/shared_state.h"

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
};

class LogReader {
public:
    static constexpr std::size_t DefaultBufferBytes = std::size_t{1} << 20;
    // A longer line is no request: it is passed over without being held in memory.
    static constexpr std::int64_t DefaultLongestLine = std::int64_t{16} << 20;

    // bufferBytes is the size of the read window; a line longer than it still reads whole, up to longestLine.
    LogReader(FileSystem& files, MessagePump& pump, std::size_t bufferBytes = DefaultBufferBytes,
              std::int64_t longestLine = DefaultLongestLine);

    // Hands every complete line from state.ReadOffset on to sink, once and in file order, and moves
    // state.ReadOffset past it. A line ends at CR LF, a lone CR or a lone LF. A file that is not the one the
    // last pass read (replaced, rotated, started over) is read from its first byte; a file that cannot be
    // read now is left as it is for the next pass.
    void ReadPass(SharedState& state, LineSink& sink);

    // The next pass takes the file at state.LogFilePath as it finds it, from state.ReadOffset on.
    void ForgetFile();

private:
    friend class ReadPassRun;

    FileSystem& files_;
    MessagePump& pump_;
    std::size_t bufferBytes_;
    std::int64_t longestLine_;
    std::vector<char> buffer_;

    // What the last pass saw, to recognise the same file at the next one.
    std::optional<FileIdentity> identity_;
    std::string tail_;
    // The line at ReadOffset has no line end before this 0-based position; the next pass looks on from it,
    // as long as the bytes just before it are still those it found there.
    std::int64_t scannedTo_ = 0;
    std::string scannedTail_;
};

} // namespace tarnwatch
