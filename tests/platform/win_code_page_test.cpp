#include "platform/win_code_page.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tarnwatch::win {
namespace {

TEST(WinAnsiCodePageTest, ConvertsBothWaysWithExactLengthsEmbeddedNulsAndTheSystemCodePageIncluded) {
    WinAnsiCodePage codePage;
    std::wstring wide = L"a much longer text that was here before";
    for (const auto& [ansi, expected] :
         {std::pair{std::string("D:\\weblogs\\"), std::wstring(L"D:\\weblogs\\")},
          {std::string(), std::wstring()},
          {std::string("a\0b", 3), std::wstring(L"a\0b", 3)}}) {
        codePage.ToWide(ansi, wide);
        EXPECT_EQ(wide, expected);
        EXPECT_EQ(codePage.ToAnsi(expected), ansi);
    }
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the system code page is " << ::GetACP() << ", not Windows-1252";
    }
    codePage.ToWide("caf\xE9 \x80", wide);
    EXPECT_EQ(wide, L"caf\u00E9 \u20AC");
    EXPECT_EQ(codePage.ToAnsi(L"caf\u00E9 \u20AC"), "caf\xE9 \x80");
    // A character the code page lacks still takes one byte, so lengths stay in step.
    EXPECT_EQ(codePage.ToAnsi(L"\u4E2D").size(), 1u);
}

} // namespace
} // namespace tarnwatch::win
