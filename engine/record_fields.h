// Picks the fields the monitor list shows out of one line of the W3C extended log, on its raw bytes.
#pragma once

#include <optional>
#include <string_view>

namespace tarnwatch {

// Each field without the spaces around it; the views point into the line.
struct RecordFields {
    std::string_view RemoteIp;
    std::string_view Url;
    std::string_view Status;
};

// Empty for directive lines ("#...") and for lines that end before the user agent field begins.
std::optional<RecordFields> SplitRecordFields(std::string_view line);

} // namespace tarnwatch
