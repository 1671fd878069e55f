#include "platform/surface.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(Surface, RejectsSizesWithoutPixelsOrTooManyOfThem) {
    EXPECT_FALSE(Surface::Create(0, 5));
    EXPECT_FALSE(Surface::Create(5, -1));
    // 40000 x 40000 is 1.6 Gi pixels, past the 1 Gi limit.
    EXPECT_FALSE(Surface::Create(40000, 40000));
    auto ok = Surface::Create(3, 2, 0xFF123456u);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->Width(), 3);
    EXPECT_EQ(ok->Height(), 2);
    EXPECT_EQ(ok->At(2, 1), 0xFF123456u);
}

TEST(Surface, RowsAreWidthApartSoXAndYAreNotSwapped) {
    auto s = Surface::Create(3, 2, 0);
    ASSERT_TRUE(s);
    s->Row(1)[2] = 7;
    EXPECT_EQ(s->Pixels()[5], 7u);
    EXPECT_EQ(s->At(2, 1), 7u);
}

TEST(Colors, PixelsAndColorRefsSwapRedAndBlue) {
    // A COLORREF keeps red in its low byte; a pixel keeps blue there.
    EXPECT_EQ(PixelFromColor(RGB(0x11, 0x22, 0x33)), 0xFF112233u);
    EXPECT_EQ(ColorFromPixel(0x00AABBCCu), 0x00CCBBAAu);
    EXPECT_EQ(ColorFromPixel(PixelFromColor(RGB(1, 2, 3))), RGB(1, 2, 3));
}

struct TranslateCase {
    OLE_COLOR value;
    COLORREF expected;
};

class TranslateColorTest : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(TranslateColorTest, MapsSystemColorsAndPlainColors) {
    EXPECT_EQ(TranslateColor(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Colors, TranslateColorTest,
                         ::testing::Values(TranslateCase{0x8000000Fu,
                                                         RGB(240, 240, 240)},        // button face
                                           TranslateCase{0x80000012u, RGB(0, 0, 0)}, // button text
                                           TranslateCase{0x80000005u, RGB(255, 255, 255)}, // window
                                           TranslateCase{0x800000FFu, RGB(0, 0, 0)}, // unknown
                                           TranslateCase{0x00FFFFFFu, RGB(255, 255, 255)},
                                           TranslateCase{0x12345678u, 0x00345678u}));

} // namespace
} // namespace zembra
