#include "record_fields.h"

#include <array>
#include <cstddef>

namespace tarnwatch {

namespace {

// The date is always ten bytes, so the date and the space after it are skipped by position.
constexpr std::size_t FirstCountedByte = 11;

// Fields are numbered from 1 (the time); every space from the first counted byte on opens the next one.
// Reaching field 10, the user agent, completes a record, so nine spaces are needed.
constexpr std::size_t SpacesInRecord = 9;
constexpr std::size_t RemoteIpField = 2;
constexpr std::size_t UrlField = 7;
constexpr std::size_t StatusField = 9;

} // namespace

std::optional<RecordFields> SplitRecordFields(std::string_view line) {
    if (line.size() <= FirstCountedByte || line.front() == '#') {
        return std::nullopt;
    }
    // spaces[k] is where field k + 2 begins; field n lies between spaces[n - 2] and spaces[n - 1].
    std::array<std::size_t, SpacesInRecord> spaces{};
    std::size_t from = FirstCountedByte;
    for (auto& space : spaces) {
        space = line.find(' ', from);
        if (space == std::string_view::npos) {
            return std::nullopt;
        }
        from = space + 1;
    }
    const auto field = [&](std::size_t number) {
        const std::size_t begin = spaces[number - 2] + 1;
        return line.substr(begin, spaces[number - 1] - begin);
    };
    return RecordFields{field(RemoteIpField), field(UrlField), field(StatusField)};
}

} // namespace tarnwatch
