#include "imaging/codec.h"
#include "imaging/encoder_table.h"
#include "imaging/gdiplus.h"
#include "imaging/status.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(EncoderTable, SplitsAtSeparatorsAndTheFirstEncoderKeepsAPattern) {
    EncoderTable table;
    table.AddEncoderPatterns("*.A; *.B;;  *.C  ", ";", 4);
    EXPECT_EQ(table.EncoderIndex("*.A"), 4);
    EXPECT_EQ(table.EncoderIndex(" *.B"), 4); // untrimmed before a separator
    EXPECT_EQ(table.EncoderIndex("*.B"), -1);
    EXPECT_EQ(table.EncoderIndex(""), 4);    // the empty piece between ";;"
    EXPECT_EQ(table.EncoderIndex("*.C"), 4); // the last piece is trimmed
    EXPECT_EQ(table.Size(), 4u);
    table.AddEncoderPatterns("*.X;   ", ";", 1); // a blank last piece is left out
    EXPECT_EQ(table.Size(), 5u);
    table.AddEncoderPatterns("*.Y||*.Z", "||", 2); // separators of more than one character
    EXPECT_EQ(table.EncoderIndex("*.z"), 2);
    table.AddEncoderPatterns("*.a", ";", 0); // filled from the last encoder down
    EXPECT_EQ(table.EncoderIndex("*.A"), 0);
}

TEST(EncoderTable, TheCodecsListTheirPatternsInEncoderOrder) {
    cGdiPlus gdip;
    EXPECT_EQ(gdip.EncoderCount(), 5);
    const std::pair<const char*, int> expected[] = {
        {"*.BMP", 0}, {"*.dib", 0},   {"*.RLE", 0}, {"*.JPG", 1}, {"*.jpeg", 1},
        {"*.JPE", 1}, {"*.JFIF", 1},  {"*.GIF", 2}, {"*.TIF", 3}, {"*.tiff", 3},
        {"*.PNG", 4}, {"*.WEBP", -1}, {"*.", -1},   {"JPG", -1}};
    for (const auto& [pattern, index] : expected)
        EXPECT_EQ(gdip.EncoderIndex(pattern), index) << pattern;
}

TEST(EncoderTable, FileExtensionIsTheTextAfterTheLastDotOfTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pics/a.JPeg", "JPeg"}, {"/pics/a.tar.gz", "gz"}, {"/pic.s/noext", ""},
        {"/pics/a.", ""},         {".hidden", "hidden"},    {"", ""}};
    for (const auto& [name, extension] : cases)
        EXPECT_EQ(FileExtension(name), extension) << name;
}

TEST(GdiErrorString, NamesEveryStatusAndNothingElse) {
    EXPECT_EQ(GdiErrorString(1), "Generic Error");
    EXPECT_EQ(GdiErrorString(20), "Property Not Supported");
    for (int unknown : {0, 21, -1})
        EXPECT_EQ(GdiErrorString(unknown), "Unknown GDI+ Error") << unknown;
}

} // namespace
} // namespace zembra
