#include "platform/fox_rotate.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A 4x2 source of distinct pixels turned about (3, 3) on a white 6x6 surface:
// every pixel lands whole where the turn puts it, the rest stays white. How the
// watermark's slanted turns look is checked with the watermark.
TEST(FoxRotate, QuarterTurnsMovePixelsExactly) {
    auto src = Surface::Create(4, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i)
            src->Row(j)[std::size_t(i)] = 0xFF000000u | std::uint32_t(10 * i + 100 * j);
    // Source pixel (i, j) goes to (x0 + xi * i + xj * j, y0 + yi * i + yj * j);
    // clockwise on the screen, the top row becomes the right column.
    const struct {
        double degrees;
        int x0, xi, xj, y0, yi, yj;
    } cases[] = {{0, 1, 1, 0, 2, 0, 1}, {90, 3, 0, -1, 1, 1, 0}, {180, 4, -1, 0, 3, 0, -1}};
    for (const auto& c : cases) {
        auto dst = Surface::Create(6, 6, kWhite);
        ASSERT_TRUE(RotateOnto(*dst, 3, 3, *src, 0, 0, 4, 2, c.degrees));
        Surface want = *Surface::Create(6, 6, kWhite);
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 4; ++i)
                want.Row(c.y0 + c.yi * i + c.yj * j)[std::size_t(c.x0 + c.xi * i + c.xj * j)] =
                    src->At(i, j);
        EXPECT_TRUE(std::equal(dst->Pixels().begin(), dst->Pixels().end(), want.Pixels().begin()))
            << c.degrees;
    }
}

} // namespace
} // namespace zembra
