#include "platform/surface.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(Surface, RejectsSizesWithoutPixelsOrTooManyOfThem) {
    EXPECT_FALSE(Surface::Create(0, 5));
    EXPECT_FALSE(Surface::Create(5, -1));
    // 40000 x 40000 is 1.6 Gi pixels, past the 1 Gi limit.
    EXPECT_FALSE(Surface::Create(40000, 40000));
    auto s = Surface::Create(3, 2, 0xFF123456u);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->At(2, 1), 0xFF123456u);
    // Rows are width apart, so x and y are not swapped.
    s->Row(1)[2] = 7;
    EXPECT_EQ(s->Pixels()[5], 7u);
    EXPECT_EQ(s->At(2, 1), 7u);
}

TEST(Colors, PixelsAndColorRefsSwapRedAndBlue) {
    // A COLORREF keeps red in its low byte; a pixel keeps blue there.
    EXPECT_EQ(PixelFromColor(RGB(0x11, 0x22, 0x33)), 0xFF112233u);
    EXPECT_EQ(ColorFromPixel(0x00AABBCCu), 0x00CCBBAAu);
}

} // namespace
} // namespace zembra
