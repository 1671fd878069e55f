#include "main/conversion_decision.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

struct Case {
    const char* path;
    int conversion;
    int action;
    bool pending;
    const char* target;
    const char* sourceExt;
};

class Conversion : public ::testing::TestWithParam<Case> {};

TEST_P(Conversion, Decides) {
    const Case& c = GetParam();
    const ConversionDecision d = DecideConversionFor(c.path, c.conversion, c.action, "<before>");
    EXPECT_EQ(d.ConversionPending, c.pending);
    EXPECT_EQ(d.TargetExtension, c.target);
    EXPECT_EQ(d.SourceExtension, c.sourceExt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Conversion,
    ::testing::Values(
        Case{"/p/a.JPEG", 0, 4, false, "", ".JPEG"},
        Case{"/p/photo.jpeg", 1, 4, false, "", ".jpeg"},
        Case{"/p/photo.png", 1, 4, true, ".JPG", "<before>"},
        Case{"/p/a.GIF", 2, 4, false, "", ".GIF"}, Case{"/p/a.jpg", 2, 4, true, ".GIF", "<before>"},
        Case{"/p/a.bmp", 3, 4, false, "", ".bmp"}, Case{"/p/a.TIFF", 4, 4, false, "", ".TIFF"},
        Case{"/p/a.tif", 4, 4, false, "", ".tif"}, Case{"/p/a.png", 4, 4, true, ".TIF", "<before>"},
        Case{"/p/a.png", 5, 4, false, "", ".png"}, Case{"/p/a.bmp", 5, 4, true, ".PNG", "<before>"},
        // The formats appended later; their own extensions are five characters long.
        Case{"/p/a.webp", 6, 4, false, "", ".webp"},
        Case{"/p/a.jpg", 6, 4, true, ".WEBP", "<before>"},
        Case{"/p/a.AVIF", 7, 4, false, "", ".AVIF"},
        Case{"/p/a.heic", 7, 4, true, ".AVIF", "<before>"},
        Case{"/p/a.heic", 0, 4, false, "", ".heic"},
        // Renaming never converts, whatever the list still shows.
        Case{"/p/a.jpg", 5, 1, false, ".PNG", "<before>"},
        Case{"/p/a.jpg", 5, 2, false, ".PNG", "<before>"}));

TEST(Conversion, RecognisesJpegSources) {
    EXPECT_TRUE(DecideConversionFor("/p/a.JpEg", 0, 4, "").SourceIsJpeg);
    EXPECT_TRUE(DecideConversionFor("/p/a.jpg", 5, 4, "").SourceIsJpeg);
    EXPECT_FALSE(DecideConversionFor("/p/a.jpe", 0, 4, "").SourceIsJpeg);
}

} // namespace
} // namespace zembra
