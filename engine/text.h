// Small text helpers shared by the settings file and the log readers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwatch {

// Removes leading and trailing space characters only; tabs stay.
template <typename Char> std::basic_string_view<Char> TrimSpaces(std::basic_string_view<Char> text) {
    const auto first = text.find_first_not_of(Char(' '));
    if (first == std::basic_string_view<Char>::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(Char(' '));
    return text.substr(first, last - first + 1);
}

inline std::wstring_view TrimSpaces(const std::wstring& text) {
    return TrimSpaces(std::wstring_view(text));
}
inline std::string_view TrimSpaces(const std::string& text) {
    return TrimSpaces(std::string_view(text));
}

// A whole number with spaces around it and an optional sign; empty when the text is anything else
// or the number does not fit 32 bits.
std::optional<std::int32_t> ParseInt32(std::wstring_view text);

// Splits text as a text-mode reader does: a line ends at CR LF, at a lone CR or at a lone LF.
// A final line without a line end is a line too.
std::vector<std::string_view> SplitTextLines(std::string_view text);

} // namespace tarnwatch
