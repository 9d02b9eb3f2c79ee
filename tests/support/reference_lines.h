// The lines of a log as someone reading it byte by byte would take them, to hold the reader against.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwatch::testing {

// Every line that has its line end: CR LF, a lone CR or a lone LF. Bytes after the last line end are no line.
inline std::vector<std::string> ReferenceCompleteLines(std::string_view content) {
    std::vector<std::string> lines;
    std::string line;
    bool afterCr = false;
    for (const char byte : content) {
        if (byte == '\n' && afterCr) {
            afterCr = false;
            continue;
        }
        afterCr = byte == '\r';
        if (byte == '\r' || byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += byte;
        }
    }
    return lines;
}

} // namespace tarnwatch::testing
