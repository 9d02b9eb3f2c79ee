// The record fields as a reader of the log format finds them, one byte at a time: the date and the space
// after it take the first eleven bytes; from the twelfth byte on, fields are numbered from 1 (the time) and
// every space ends one. A record reaches the user agent, field 10.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tarnwatch::fuzz {

struct FieldPlace {
    std::size_t Begin = 0;
    std::size_t Size = 0;
};

struct ReferenceFields {
    FieldPlace RemoteIp;
    FieldPlace Url;
    FieldPlace Status;
};

inline std::optional<ReferenceFields> ReferenceRecordFields(std::string_view line) {
    if (!line.empty() && line[0] == '#') {
        return std::nullopt;
    }
    std::vector<std::size_t> fieldStarts{11};
    for (std::size_t at = 11; at < line.size() && fieldStarts.size() < 10; ++at) {
        if (line[at] == ' ') {
            fieldStarts.push_back(at + 1);
        }
    }
    if (fieldStarts.size() < 10) {
        return std::nullopt;
    }
    // Field n runs from its start up to the space before field n + 1.
    const auto place = [&](std::size_t number) {
        const std::size_t begin = fieldStarts[number - 1];
        return FieldPlace{begin, fieldStarts[number] - 1 - begin};
    };
    return ReferenceFields{place(2), place(7), place(9)};
}

} // namespace tarnwatch::fuzz
