#include "platform/text.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(Text, ShortensByCharactersNeverInsideOne) {
    EXPECT_EQ(Shortened("short.jpg", 24, 21), "short.jpg");
    EXPECT_EQ(Shortened(std::string(24, 'a'), 24, 21), std::string(24, 'a'));
    EXPECT_EQ(Shortened(std::string(25, 'a'), 24, 21), "..." + std::string(21, 'a'));
    // Two-, three- and four-byte characters count once each.
    const std::string mixed = "ßßßß€€€€😀😀😀😀abcdefghijklmnop.jpg";
    const std::string cut = Shortened(mixed, 24, 21);
    EXPECT_EQ(cut, "...😀abcdefghijklmnop.jpg");
    EXPECT_EQ(CharCount(cut), 24u);
}

TEST(Text, UpperCasesAsciiOnlyAndCutsNames) {
    EXPECT_EQ(UCase("c:/p/a.jpg"), "C:/P/A.JPG");
    EXPECT_EQ(UCase("é.jpg"), "é.JPG");
    EXPECT_EQ(Right("a.jpeg", 5), ".jpeg");
    EXPECT_EQ(Right("ab", 5), "ab");
    EXPECT_EQ(FileNamePart("/a/b/c.jpg"), "c.jpg");
    EXPECT_EQ(FileNamePart("c.jpg"), "c.jpg");
}

TEST(Text, NumericTextsAsAFieldAcceptsThem) {
    for (const char* yes : {"1", "100", " 50 ", "-3", "+2", "1.5", ".5", "5.", "1e2", "1E-2"})
        EXPECT_TRUE(IsNumeric(yes)) << yes;
    for (const char* no : {"", " ", "abc", "1a", "1e", ".", "-", "1..2", "0x10", "1,5"})
        EXPECT_FALSE(IsNumeric(no)) << no;
    EXPECT_DOUBLE_EQ(NumericValue(" 1e2"), 100.0);
}

} // namespace
} // namespace zembra
