#include "import/folder_file.h"
#include "import/import_rules.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(ImportRules, PictureFilesByExtensionInAnyCase) {
    for (const char* name : {"a.jpg", "b.JPEG", "c.Tif", "d.tiff", "e.PNG", "f.gif", "g.bmp"})
        EXPECT_TRUE(IsPictureFile(name)) << name;
    for (const char* name : {"c.txt", "d.jpg.bak", "jpg", "e.jpe", "f.pngx", ""})
        EXPECT_FALSE(IsPictureFile(name)) << name;
}

TEST(ImportRules, FolderDisplayNames) {
    EXPECT_EQ(FolderDisplayName("/photos/Holidays2008"), "Holidays2008");
    EXPECT_EQ(FolderDisplayName("/"), "/");
    // 26 characters: "..." and the last 18.
    EXPECT_EQ(FolderDisplayName("/p/Summer holidays in Crete08"), "...olidays in Crete08");
    EXPECT_EQ(FolderDisplayName("/p/Exactly twenty ch"), "Exactly twenty ch");
}

// Wide pictures are placed in the dialog's own test; upright and square ones fill the
// height and are centred across.
TEST(ImportRules, UprightThumbnailFillsTheHeightAndIsCentredAcross) {
    const ThumbPlacement q = PlaceThumbnail(1, 1200, 1600);
    EXPECT_DOUBLE_EQ(q.height, 1335);
    EXPECT_DOUBLE_EQ(q.width, 1001.25);
    EXPECT_DOUBLE_EQ(q.left, 667 - 500.625 + 1560);
    EXPECT_DOUBLE_EQ(q.top, 240);
}

TEST(FolderFile, KeysMatchExactlyAndInFileOrder) {
    const auto lines = ParseFolderFile("previewfolder=1\r\nLastFolder=/x\r\nlastfolder=/a b\r\n"
                                       "junk\nlastdrive=/ [ROOT]\nlastfolder=");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].key, "previewfolder=");
    EXPECT_EQ(lines[0].value, "1");
    EXPECT_EQ(lines[1].value, "/a b");
    EXPECT_EQ(lines[2].key, "lastdrive=");
    EXPECT_EQ(lines[2].value, "/ [ROOT]");
    EXPECT_EQ(lines[3].value, "");
}

TEST(FolderFile, WholeNumbers) {
    EXPECT_EQ(WholeNumber(" 1 "), 1);
    EXPECT_EQ(WholeNumber("-2"), -2);
    for (const char* bad : {"", "x", "1x", "99999", "1.5"})
        EXPECT_FALSE(WholeNumber(bad)) << bad;
}

} // namespace
} // namespace zembra
