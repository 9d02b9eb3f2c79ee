#include "win_code_page.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tarnwatch::win {
namespace {

TEST(WinAnsiCodePageTest, ConvertsWithExactLengthsEmbeddedNulsIncluded) {
    WinAnsiCodePage codePage;
    std::wstring wide = L"a much longer text that was here before";
    codePage.ToWide("D:\\weblogs\\", wide);
    EXPECT_EQ(wide, L"D:\\weblogs\\");
    codePage.ToWide("", wide);
    EXPECT_EQ(wide, L"");
    codePage.ToWide(std::string_view("a\0b", 3), wide);
    EXPECT_EQ(wide, std::wstring(L"a\0b", 3));
    EXPECT_EQ(codePage.ToAnsi(std::wstring_view(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(codePage.ToAnsi(L""), "");
}

TEST(WinAnsiCodePageTest, UsesTheSystemCodePageForAccentedLetters) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the system code page is " << ::GetACP() << ", not Windows-1252";
    }
    WinAnsiCodePage codePage;
    std::wstring wide;
    codePage.ToWide("caf\xE9 \x80", wide);
    EXPECT_EQ(wide, L"caf\u00E9 \u20AC");
    EXPECT_EQ(codePage.ToAnsi(L"caf\u00E9 \u20AC"), "caf\xE9 \x80");
    // A character the code page lacks still takes one byte, so lengths stay in step.
    EXPECT_EQ(codePage.ToAnsi(L"\u4E2D").size(), 1u);
}

} // namespace
} // namespace tarnwatch::win
