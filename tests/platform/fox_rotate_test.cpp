#include "platform/fox_rotate.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

// A 4x2 source of distinct pixels turned about (3, 3) on a white 6x6 surface:
// every pixel lands whole where the turn puts it, the rest stays white.
TEST(FoxRotate, QuarterTurnsMovePixelsExactly) {
    auto src = Surface::Create(4, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i)
            src->Row(j)[std::size_t(i)] = 0xFF000000u | std::uint32_t(10 * i + 100 * j);
    // Where source pixel (i, j) goes; clockwise on the screen, the top row
    // becomes the right column.
    const std::pair<double, std::pair<int, int> (*)(int, int)> cases[] = {
        {0,
         [](int i, int j) {
             return std::pair{1 + i, 2 + j};
         }},
        {90,
         [](int i, int j) {
             return std::pair{3 - j, 1 + i};
         }},
        {180,
         [](int i, int j) {
             return std::pair{4 - i, 3 - j};
         }},
    };
    for (const auto& [degrees, to] : cases) {
        auto dst = Surface::Create(6, 6, kWhite);
        ASSERT_TRUE(RotateOnto(*dst, 3, 3, *src, 0, 0, 4, 2, degrees));
        Surface want = *Surface::Create(6, 6, kWhite);
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 4; ++i) {
                const auto [x, y] = to(i, j);
                want.Row(y)[std::size_t(x)] = src->At(i, j);
            }
        EXPECT_TRUE(std::equal(dst->Pixels().begin(), dst->Pixels().end(), want.Pixels().begin()))
            << degrees;
    }
}

// A negative angle lays a horizontal bar on a line rising to the right, with soft
// edges: some pixels lie between the bar's colour and the background's.
TEST(FoxRotate, NegativeAngleRisesToTheRightWithSmoothEdges) {
    auto bar = Surface::Create(40, 10, kBlack);
    auto dst = Surface::Create(60, 60, kWhite);
    ASSERT_TRUE(RotateOnto(*dst, 30, 30, *bar, 0, 0, 40, 10, -30));
    EXPECT_EQ(dst->At(45, 21), kBlack); // 17 along the bar, up and to the right
    EXPECT_EQ(dst->At(45, 39), kWhite);
    EXPECT_EQ(dst->At(15, 21), kWhite);
    int between = 0;
    for (std::uint32_t p : dst->Pixels())
        between += p != kBlack && p != kWhite;
    EXPECT_GT(between, 40); // both long edges are blended, not stepped
}

} // namespace
} // namespace zembra
