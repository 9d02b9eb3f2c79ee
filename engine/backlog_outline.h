// A long run of new lines looked through for what matters when only its newest rows can be shown.
#pragma once

#include "engine/ports.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tarnwatch {

class LineSink;

struct BacklogOutline {
    // The 0-based starts of the lines that begin with '#', in file order: directives, which change what the
    // lines after them mean, and which no request can write.
    std::vector<std::int64_t> Directives;
    // The start of the earliest line worth handing on: from there on the lines hold enough rows.
    std::int64_t Cut = 0;
};

// Looks through the file from the line start from up to length: forward for the directives and the last line
// end, by byte scans only, then back from the last complete line, asking the sink which lines make rows,
// until it has rowsEnough of them. Empty when a read fails or the file got shorter.
std::optional<BacklogOutline> OutlineBacklog(SharedReadFile& file, std::int64_t from, std::int64_t length,
                                             std::size_t windowBytes, std::int64_t longestLine,
                                             LineSink& sink, std::size_t rowsEnough);

} // namespace tarnwatch
