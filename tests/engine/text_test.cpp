#include "engine/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch {
namespace {

TEST(SplitTextLines, EndsALineAtCrLfALoneCrOrALoneLf) {
    using Lines = std::vector<std::string_view>;
    const std::pair<std::string_view, Lines> cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a", {"a"}},
        {"", {}},
        {"a\r\n", {"a"}},
        {"a\r", {"a"}},
        {"\r\n\r\n", {"", ""}},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(SplitTextLines(text), lines) << ::testing::PrintToString(std::string(text));
    }
}

TEST(ParseInt32, ReadsAWholeNumberWithSpacesAroundAndAnOptionalSign) {
    const std::pair<std::wstring_view, std::int32_t> numbers[] = {
        {L"0", 0},
        {L"  907 ", 907},
        {L"+19", 19},
        {L" -19 ", -19},
        {L"0089", 89},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, number] : numbers) {
        EXPECT_EQ(ParseInt32(text), number) << ::testing::PrintToString(std::wstring(text));
    }
    for (const std::wstring_view text :
         {L"2147483648", L"-2147483649", L"99999999999999999999", L"", L"   ", L"-", L"- 5", L"+-5", L"4 2",
          L"12x", L"x12", L"1e3", L"/", L":", L"\t7"}) {
        EXPECT_EQ(ParseInt32(text), std::nullopt) << ::testing::PrintToString(std::wstring(text));
    }
}

} // namespace
} // namespace tarnwatch
