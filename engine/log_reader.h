// Reads the lines appended to the log since the last pass, byte-exact, through one large buffer.
#pragma once

#include "engine/ports.h"
#include "engine/shared_state.h"

#include <cstddef>
#include <cstdint>
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

    // bufferBytes is the size of the read window; a line longer than it still reads whole.
    LogReader(FileSystem& files, MessagePump& pump, std::size_t bufferBytes = DefaultBufferBytes);

    // Hands every complete line from state.ReadOffset on to sink, in file order, and
    // moves state.ReadOffset past it.
    void ReadPass(SharedState& state, LineSink& sink);

private:
    FileSystem& files_;
    MessagePump& pump_;
    std::size_t bufferBytes_;
    std::vector<char> buffer_;
    std::int64_t lastLength_ = 0;
};

} // namespace tarnwatch
