// Checking what the user types as a filter address, and turning it into the one form the
// monitor can match: plain dotted decimal, four numbers from 0 to 255 without leading zeros.
#pragma once

#include "engine/ports.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwatch {

// Decides whether a character typed into the address box may reach it; currentLength is the
// box's length before the character goes in.
bool AcceptIpKey(wchar_t charCode, std::size_t currentLength);

// Drops the zeros in front of a part but never its last character: "007" -> "7", "000" -> "0".
std::wstring_view StripLeadingZeros(std::wstring_view part);

enum class IpEntryOutcome { Accepted, BadDotCount, PartOutOfRange, AlreadyListed };

struct IpEntryResult {
    IpEntryOutcome Outcome = IpEntryOutcome::Accepted;
    // Accepted and AlreadyListed: the canonical entry. PartOutOfRange: the offending value in
    // decimal, kept as text because a pasted part can be far too long for any integer, or the part as
    // pasted when it is no number at all. BadDotCount: empty.
    std::wstring Text;
};

// Accepted with the canonical entry, BadDotCount or PartOutOfRange.
IpEntryResult ParseFilterIp(std::wstring_view typedText);

// The Add button: on acceptance appends the canonical entry to the working list; on a refusal leaves it
// alone.
IpEntryResult AddFilterIp(std::wstring_view typedText, std::vector<std::wstring>& workingList);

struct RefusalMessage {
    std::wstring Text;
    std::wstring Title;
    BoxButtons Buttons = BoxButtons::Ok;
    BoxIcon Icon = BoxIcon::Exclamation;
};

// The box that tells the user why an address was refused; nothing for an accepted one.
std::optional<RefusalMessage> RefusalFor(const IpEntryResult& result);

} // namespace tarnwatch
