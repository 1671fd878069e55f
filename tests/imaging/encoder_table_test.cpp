#include "imaging/codec.h"
#include "imaging/encoder_table.h"
#include "imaging/gdiplus.h"
#include "imaging/status.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(EncoderTable, SplitsAtSeparatorsKeepingInnerPiecesAsTheyAre) {
    EncoderTable table;
    table.AddEncoderPatterns("*.A; *.B;;  *.C  ", ";", 4);
    EXPECT_EQ(table.EncoderIndex("*.A"), 4);
    EXPECT_EQ(table.EncoderIndex(" *.B"), 4); // untrimmed before a separator
    EXPECT_EQ(table.EncoderIndex("*.B"), -1);
    EXPECT_EQ(table.EncoderIndex(""), 4);    // the empty piece between ";;"
    EXPECT_EQ(table.EncoderIndex("*.C"), 4); // the last piece is trimmed
    EXPECT_EQ(table.Size(), 4u);

    EncoderTable trailing;
    trailing.AddEncoderPatterns("*.X;   ", ";", 1); // a blank last piece is left out
    EXPECT_EQ(trailing.Size(), 1u);
    trailing.AddEncoderPatterns("*.Y||*.Z", "||", 2); // separators of more than one character
    EXPECT_EQ(trailing.EncoderIndex("*.z"), 2);
}

TEST(EncoderTable, TheFirstEncoderThatListsAPatternKeepsIt) {
    EncoderTable table;
    table.AddEncoderPatterns("*.JPG", ";", 3); // filled from the last encoder down
    table.AddEncoderPatterns("*.jpg", ";", 1);
    EXPECT_EQ(table.EncoderIndex("*.Jpg"), 1);
}

TEST(EncoderTable, TheCodecsListTheirPatternsInEncoderOrder) {
    cGdiPlus gdip;
    EXPECT_NE(gdip.SessionToken(), 0u);
    EXPECT_EQ(gdip.EncoderCount(), 5);
    const std::pair<const char*, int> expected[] = {
        {"*.BMP", 0}, {"*.dib", 0},   {"*.RLE", 0}, {"*.JPG", 1}, {"*.jpeg", 1},
        {"*.JPE", 1}, {"*.JFIF", 1},  {"*.GIF", 2}, {"*.TIF", 3}, {"*.tiff", 3},
        {"*.PNG", 4}, {"*.WEBP", -1}, {"*.", -1},   {"JPG", -1}};
    for (const auto& [pattern, index] : expected)
        EXPECT_EQ(gdip.EncoderIndex(pattern), index) << pattern;
}

struct ExtensionCase {
    const char* name;
    const char* expected;
};

class FileExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(FileExtensionTest, IsTheTextAfterTheLastDotOfTheName) {
    EXPECT_EQ(FileExtension(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EncoderTable, FileExtensionTest,
    ::testing::Values(ExtensionCase{"/pics/a.jpg", "jpg"}, ExtensionCase{"/pics/a.JPeg", "JPeg"},
                      ExtensionCase{"/pics/a.tar.gz", "gz"}, ExtensionCase{"/pics/noext", ""},
                      ExtensionCase{"/pic.s/noext", ""}, ExtensionCase{"/pics/a.", ""},
                      ExtensionCase{".hidden", "hidden"}, ExtensionCase{"", ""}));

TEST(GdiErrorString, NamesEveryStatusAndNothingElse) {
    EXPECT_EQ(GdiErrorString(1), "Generic Error");
    EXPECT_EQ(GdiErrorString(7), "Win32 Error");
    EXPECT_EQ(GdiErrorString(10), "File Not Found");
    EXPECT_EQ(GdiErrorString(14), "FontFamily Not Found");
    EXPECT_EQ(GdiErrorString(17), "Unsupported Gdiplus Version");
    EXPECT_EQ(GdiErrorString(20), "Property Not Supported");
    for (int unknown : {0, 21, -1, 1000})
        EXPECT_EQ(GdiErrorString(unknown), "Unknown GDI+ Error") << unknown;
}

} // namespace
} // namespace zembra
