#include "platform/fox_rotate.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u;

// A w x h source whose pixels all differ, so a misplaced one shows.
Surface Numbered(int w, int h) {
    auto s = Surface::Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->Row(y)[static_cast<std::size_t>(x)] = 0xFF000000u | std::uint32_t(10 * x + 100 * y);
    return std::move(*s);
}

TEST(FoxRotate, QuarterTurnsMovePixelsExactly) {
    const Surface src = Numbered(4, 2);
    struct Case {
        double degrees;
        int x0, y0, w, h; // where the turned rectangle lands
        int (*dx)(int i, int j), (*dy)(int i, int j);
    };
    const Case cases[] = {
        {0, 1, 2, 4, 2, [](int i, int) { return 1 + i; }, [](int, int j) { return 2 + j; }},
        // Clockwise on the screen: the top row becomes the right column.
        {90, 2, 1, 2, 4, [](int, int j) { return 3 - j; }, [](int i, int) { return 1 + i; }},
        {180, 1, 2, 4, 2, [](int i, int) { return 4 - i; }, [](int, int j) { return 3 - j; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        auto dst = Surface::Create(6, 6, kWhite);
        ASSERT_TRUE(RotateOnto(*dst, 3, 3, src, 0, 0, 4, 2, c.degrees));
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(dst->At(c.dx(i, j), c.dy(i, j)), src.At(i, j)) << i << "," << j;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                if (x < c.x0 || x >= c.x0 + c.w || y < c.y0 || y >= c.y0 + c.h) {
                    EXPECT_EQ(dst->At(x, y), kWhite) << "outside at " << x << "," << y;
                }
            }
    }
}

// A negative angle lays a horizontal bar on a line rising to the right, with soft
// edges: some pixels lie between the bar's colour and the background's.
TEST(FoxRotate, NegativeAngleRisesToTheRightWithSmoothEdges) {
    auto bar = Surface::Create(40, 10, kBlack);
    auto dst = Surface::Create(60, 60, kWhite);
    ASSERT_TRUE(RotateOnto(*dst, 30, 30, *bar, 0, 0, 40, 10, -30));
    EXPECT_EQ(dst->At(30, 30), kBlack);
    EXPECT_EQ(dst->At(45, 21), kBlack); // 17 along the bar, up and to the right
    EXPECT_EQ(dst->At(45, 39), kWhite);
    EXPECT_EQ(dst->At(15, 21), kWhite);
    int between = 0;
    for (std::uint32_t p : dst->Pixels())
        between += p != kBlack && p != kWhite;
    EXPECT_GT(between, 40); // both long edges are blended, not stepped
}

TEST(FoxRotate, RefusesWhatItCannotDraw) {
    auto src = Surface::Create(4, 4, kRed);
    auto dst = Surface::Create(4, 4, kWhite);
    EXPECT_FALSE(RotateOnto(*dst, 2, 2, *src, 1, 0, 4, 4, 10)); // beyond the source
    EXPECT_FALSE(RotateOnto(*dst, 2, 2, *src, 0, 0, 0, 4, 10));
    SurfaceDC to(*dst), from(*src);
    EXPECT_EQ(FoxRotate(to.Handle(), 2, 2, 4, 4, HDC{12345}, 0, 0, 10, 0, 0), 0);
    EXPECT_EQ(FoxRotate(to.Handle(), 2, 2, 4, 4, from.Handle(), 0, 0, 10, 1, 0), 0);
    for (std::uint32_t p : dst->Pixels())
        EXPECT_EQ(p, kWhite);
    EXPECT_EQ(FoxRotate(to.Handle(), 2, 2, 4, 4, from.Handle(), 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(dst->At(0, 0), kRed);
}

} // namespace
} // namespace zembra
