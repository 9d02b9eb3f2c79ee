// What a typed filter address must give, worked out the plain way, for the text the address box lets through:
// digits and full stops only.
#pragma once

#include "engine/ip_entry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwatch::fuzz {

inline bool IsDigitCharacter(wchar_t code) {
    return code >= L'0' && code <= L'9';
}

inline std::vector<std::wstring_view> SplitAtDots(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    std::size_t begin = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == L'.') {
            parts.push_back(text.substr(begin, at - begin));
            begin = at + 1;
        }
    }
    return parts;
}

// Four decimal numbers from 0 to 255 joined by full stops, none with a zero in front.
inline bool IsCanonicalAddress(std::wstring_view text) {
    const std::vector<std::wstring_view> parts = SplitAtDots(text);
    if (parts.size() != 4) {
        return false;
    }
    for (const std::wstring_view part : parts) {
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == L'0')) {
            return false;
        }
        int value = 0;
        for (const wchar_t code : part) {
            if (!IsDigitCharacter(code)) {
                return false;
            }
            value = value * 10 + (code - L'0');
        }
        if (value > 255) {
            return false;
        }
    }
    return true;
}

// Empty for text with anything but digits and full stops. An empty part is zero; a part out of range is
// reported by its value, without the zeros in front of it.
inline std::optional<IpEntryResult> ReferenceDottedDigits(std::wstring_view text) {
    for (const wchar_t code : text) {
        if (!IsDigitCharacter(code) && code != L'.') {
            return std::nullopt;
        }
    }
    const std::vector<std::wstring_view> parts = SplitAtDots(text);
    if (parts.size() != 4) {
        return IpEntryResult{IpEntryOutcome::BadDotCount, {}};
    }
    std::wstring entry;
    for (const std::wstring_view part : parts) {
        std::wstring_view digits = part;
        while (!digits.empty() && digits.front() == L'0') {
            digits.remove_prefix(1);
        }
        const std::wstring value = digits.empty() ? L"0" : std::wstring(digits);
        if (value.size() > 3 || (value.size() == 3 && value > L"255")) {
            return IpEntryResult{IpEntryOutcome::PartOutOfRange, value};
        }
        entry += (entry.empty() ? L"" : L".") + value;
    }
    return IpEntryResult{IpEntryOutcome::Accepted, entry};
}

} // namespace tarnwatch::fuzz
