// Filter address entry on any text at all, added one after another to one working list: an accepted text
// gives a canonical entry that parses again to itself, a refusal leaves the list and the changed flag alone,
// and text of digits and full stops gives what a plain reading of it gives.
#include "engine/ip_entry.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/reference_ip_entry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace tarnwatch;
using namespace tarnwatch::fuzz;

namespace {

// A working list of a few dozen entries is what a user builds; longer ones would only slow each run down, as
// every addition is checked against a copy of the list.
constexpr std::size_t MostTypedTexts = 32;

// A byte below 0x80 is that character; a higher one takes the next byte along for a character up to 0x7FFF,
// so that text beyond Latin-1 turns up too. A line feed ends one typed text.
std::vector<std::wstring> TypedTexts(FuzzInput& input) {
    std::vector<std::wstring> texts(1);
    while (!input.Empty()) {
        const std::uint8_t byte = input.Byte();
        if (byte == '\n') {
            if (texts.size() == MostTypedTexts) {
                break;
            }
            texts.emplace_back();
        } else if (byte < 0x80) {
            texts.back() += static_cast<wchar_t>(byte);
        } else {
            texts.back() += static_cast<wchar_t>((byte & 0x7F) << 8 | input.Byte());
        }
    }
    return texts;
}

void CheckParse(const std::wstring& typed) {
    const IpEntryResult parsed = ParseFilterIp(typed);
    if (parsed.Outcome == IpEntryOutcome::Accepted) {
        FUZZ_CHECK(IsCanonicalAddress(parsed.Text));
        const IpEntryResult again = ParseFilterIp(parsed.Text);
        FUZZ_CHECK(again.Outcome == IpEntryOutcome::Accepted);
        FUZZ_CHECK(again.Text == parsed.Text);
    }
    if (const auto expected = ReferenceDottedDigits(typed)) {
        FUZZ_CHECK(parsed.Outcome == expected->Outcome);
        FUZZ_CHECK(parsed.Text == expected->Text);
    }
}

void CheckAdd(const std::wstring& typed, std::vector<std::wstring>& list) {
    const std::vector<std::wstring> before = list;
    const IpEntryResult added = AddFilterIp(typed, list);
    const bool listedBefore = std::find(before.begin(), before.end(), added.Text) != before.end();
    if (added.Outcome == IpEntryOutcome::Accepted) {
        FUZZ_CHECK(!listedBefore);
        FUZZ_CHECK(list.size() == before.size() + 1);
        FUZZ_CHECK(std::equal(before.begin(), before.end(), list.begin()));
        FUZZ_CHECK(list.back() == added.Text);
        return;
    }
    const IpEntryOutcome parsed = ParseFilterIp(typed).Outcome;
    if (added.Outcome == IpEntryOutcome::AlreadyListed) {
        FUZZ_CHECK(parsed == IpEntryOutcome::Accepted);
        FUZZ_CHECK(listedBefore);
    } else {
        FUZZ_CHECK(added.Outcome == parsed);
    }
    FUZZ_CHECK(list == before);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::vector<std::wstring> list;
    for (const std::wstring& typed : TypedTexts(input)) {
        CheckParse(typed);
        CheckAdd(typed, list);
    }
    return 0;
}
