#include "engine/ip_entry.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

namespace tarnwatch {
namespace {

constexpr std::size_t MaxTypedLength = 16;
constexpr std::size_t PartCount = 4;
constexpr wchar_t Backspace = 8;

bool IsDigit(wchar_t code) {
    return code >= L'0' && code <= L'9';
}

struct PartValue {
    bool Negative = false;
    // Decimal digits without leading zeros; "0" for zero.
    std::wstring Digits;

    // Compared as text: a pasted part can hold more digits than any integer type.
    bool InByteRange() const {
        return !Negative && (Digits.size() < 3 || (Digits.size() == 3 && Digits <= L"255"));
    }
    std::wstring Decimal() const { return Negative ? L"-" + Digits : Digits; }
};

// Blanks may stand anywhere, even between digits, and a sign before the first digit; a part without digits
// reads as zero. Anything else can only have been pasted past the key filter: such a part is no number.
std::optional<PartValue> ReadPartValue(std::wstring_view part) {
    bool negative = false;
    bool signAllowed = true;
    std::wstring digits;
    for (const wchar_t code : part) {
        if (code == L' ') {
            continue;
        }
        if (signAllowed && (code == L'+' || code == L'-')) {
            negative = code == L'-';
            signAllowed = false;
            continue;
        }
        if (!IsDigit(code)) {
            return std::nullopt;
        }
        signAllowed = false;
        digits += code;
    }
    const std::size_t firstNonZero = digits.find_first_not_of(L'0');
    if (firstNonZero == std::wstring::npos) {
        return PartValue{false, L"0"};
    }
    return PartValue{negative, digits.substr(firstNonZero)};
}

} // namespace

bool AcceptIpKey(wchar_t charCode, std::size_t currentLength) {
    if (charCode == Backspace) {
        return true;
    }
    if (!IsDigit(charCode) && charCode != L'.') {
        return false;
    }
    return currentLength < MaxTypedLength;
}

std::wstring_view StripLeadingZeros(std::wstring_view part) {
    if (part.empty()) {
        return part;
    }
    const std::wstring_view allButLast = part.substr(0, part.size() - 1);
    const std::size_t firstNonZero = allButLast.find_first_not_of(L'0');
    part.remove_prefix(firstNonZero == std::wstring_view::npos ? allButLast.size() : firstNonZero);
    return part;
}

IpEntryResult ParseFilterIp(std::wstring_view typedText) {
    // The number of full stops is checked before any part is looked at.
    const auto dotCount = std::count(typedText.begin(), typedText.end(), L'.');
    if (dotCount != static_cast<std::ptrdiff_t>(PartCount - 1)) {
        return {IpEntryOutcome::BadDotCount, {}};
    }
    std::array<std::wstring_view, PartCount> parts;
    for (std::size_t index = 0; index + 1 < PartCount; ++index) {
        const std::size_t dot = typedText.find(L'.');
        parts[index] = typedText.substr(0, dot);
        typedText.remove_prefix(dot + 1);
    }
    parts[PartCount - 1] = typedText;

    std::wstring entry;
    for (const std::wstring_view part : parts) {
        const std::optional<PartValue> value = ReadPartValue(StripLeadingZeros(part));
        if (!value) {
            return {IpEntryOutcome::PartOutOfRange, std::wstring(part)};
        }
        if (!value->InByteRange()) {
            return {IpEntryOutcome::PartOutOfRange, value->Decimal()};
        }
        if (!entry.empty()) {
            entry += L'.';
        }
        entry += value->Digits;
    }
    return {IpEntryOutcome::Accepted, entry};
}

IpEntryResult AddFilterIp(std::wstring_view typedText, std::vector<std::wstring>& workingList) {
    IpEntryResult result = ParseFilterIp(typedText);
    if (result.Outcome != IpEntryOutcome::Accepted) {
        return result;
    }
    // Entries loaded from the settings file stay as they were written, so only an exact match blocks.
    if (std::find(workingList.begin(), workingList.end(), result.Text) != workingList.end()) {
        result.Outcome = IpEntryOutcome::AlreadyListed;
        return result;
    }
    workingList.push_back(result.Text);
    return result;
}

std::optional<RefusalMessage> RefusalFor(const IpEntryResult& result) {
    switch (result.Outcome) {
    case IpEntryOutcome::Accepted:
        return std::nullopt;
    case IpEntryOutcome::BadDotCount:
        return RefusalMessage{L"Invaild Ip Format, Contain Ip Identifier -> '.'  Error", L"Add IP"};
    case IpEntryOutcome::PartOutOfRange:
        return RefusalMessage{result.Text + L" Is Invaild Ip Number, Please Input Number Between 0 And 255",
                              L"Add IP"};
    case IpEntryOutcome::AlreadyListed:
        return RefusalMessage{L"The Current IP -> " + result.Text +
                                  L"\r\nHas Existed, The Current Ip Can't be Add",
                              L"Filter IP"};
    }
    return std::nullopt;
}

} // namespace tarnwatch
