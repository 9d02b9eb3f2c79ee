#include "engine/ip_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tarnwatch {
namespace {

using Outcome = IpEntryOutcome;
using List = std::vector<std::wstring>;

std::string Narrow(std::wstring_view text) {
    return std::string(text.begin(), text.end());
}

TEST(AcceptIpKey, LetsDigitsAndFullStopsThroughUpToSixteenCharactersAndBackspaceAlways) {
    for (const wchar_t code : std::wstring_view(L"0123456789.")) {
        EXPECT_TRUE(AcceptIpKey(code, 15)) << int{code};
        EXPECT_FALSE(AcceptIpKey(code, 16)) << int{code};
    }
    for (const wchar_t code : std::wstring_view(L"/:a -+\t\r\x07\x16\u0661")) {
        EXPECT_FALSE(AcceptIpKey(code, 0)) << int{code};
    }
    EXPECT_TRUE(AcceptIpKey(8, 16));
}

TEST(ParseFilterIp, GivesTheCanonicalEntryOrTheFirstReasonToRefuse) {
    const std::wstring fortyDigits = L"1234567890123456789012345678901234567890";
    const struct {
        std::wstring Typed;
        Outcome Result;
        std::wstring Text;
    } cases[] = {
        {L"192.168.001.010", Outcome::Accepted, L"192.168.1.10"},
        {L"255.255.255.255", Outcome::Accepted, L"255.255.255.255"},
        {L"1.2.3.", Outcome::Accepted, L"1.2.3.0"},
        {L"0.00.000.1", Outcome::Accepted, L"0.0.0.1"},
        // Only pasting gets these past the key filter.
        {L" 1 0 .+2.-0.4 ", Outcome::Accepted, L"10.2.0.4"},
        {L"1.2.3.a", Outcome::PartOutOfRange, L"a"},
        {L"12a5.1.1.1", Outcome::PartOutOfRange, L"12a5"},
        {L"1.1-2.1.1", Outcome::PartOutOfRange, L"1-2"},
        {L"1.2.3." + std::wstring(39, L'0') + L"9", Outcome::Accepted, L"1.2.3.9"},
        {L"256.1.1.1", Outcome::PartOutOfRange, L"256"},
        {L"1.2.300.4000", Outcome::PartOutOfRange, L"300"},
        {L"1.2. 0 0 3 0 0.4", Outcome::PartOutOfRange, L"300"},
        {L"1.2.3." + fortyDigits, Outcome::PartOutOfRange, fortyDigits},
        {L"1.-007.1.1", Outcome::PartOutOfRange, L"-7"},
        {L"1.-+5.1.1", Outcome::PartOutOfRange, L"-+5"},
        {L"1.2.3", Outcome::BadDotCount, L""},
        {L"999.999.999.999.", Outcome::BadDotCount, L""},
    };
    for (const auto& c : cases) {
        const IpEntryResult result = ParseFilterIp(c.Typed);
        EXPECT_EQ(result.Outcome, c.Result) << Narrow(c.Typed);
        EXPECT_EQ(result.Text, c.Text) << Narrow(c.Typed);
    }
}

// Loaded entries are compared as they stand, so other spellings of an address do not block it.
TEST(AddFilterIp, AppendsTheCanonicalEntryUnlessAnEntryEqualsItExactlyAndOtherwiseTellsWhy) {
    List list = {L"010.0.0.1", L" 10.0.0.2"};
    EXPECT_EQ(AddFilterIp(L"10.0.0.1", list).Outcome, Outcome::Accepted);
    EXPECT_EQ(AddFilterIp(L"10.0.0.2", list).Outcome, Outcome::Accepted);
    EXPECT_EQ(AddFilterIp(L"192.168.001.010", list).Text, L"192.168.1.10");
    const List added = {L"010.0.0.1", L" 10.0.0.2", L"10.0.0.1", L"10.0.0.2", L"192.168.1.10"};
    EXPECT_EQ(list, added);
    EXPECT_FALSE(RefusalFor(ParseFilterIp(L"1.2.3.4")).has_value());

    const std::tuple<std::wstring, Outcome, std::wstring, std::wstring> refused[] = {
        {L"010.000.000.001", Outcome::AlreadyListed,
         L"The Current IP -> 10.0.0.1\r\nHas Existed, The Current Ip Can't be Add", L"Filter IP"},
        {L"1.2.3", Outcome::BadDotCount, L"Invaild Ip Format, Contain Ip Identifier -> '.'  Error",
         L"Add IP"},
        {L"1.-42.1.1", Outcome::PartOutOfRange,
         L"-42 Is Invaild Ip Number, Please Input Number Between 0 And 255", L"Add IP"},
    };
    for (const auto& [typed, outcome, text, title] : refused) {
        const IpEntryResult result = AddFilterIp(typed, list);
        EXPECT_EQ(result.Outcome, outcome) << Narrow(typed);
        EXPECT_EQ(list, added) << Narrow(typed);
        const std::optional<RefusalMessage> message = RefusalFor(result);
        ASSERT_TRUE(message.has_value()) << Narrow(typed);
        EXPECT_EQ(message->Text, text);
        EXPECT_EQ(message->Title, title);
    }
}

} // namespace
} // namespace tarnwatch
