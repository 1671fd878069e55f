#include "platform/steps.h"
#include "watermark/colour_key.h"
#include "watermark/placement.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(WatermarkOffsets, CentreAcrossAndAlignDown) {
    struct Case {
        int alignment, W, H, Ws, Hs, x, y;
    };
    const Case cases[] = {
        {kAlignTop, 400, 300, 100, 50, 150, 0},
        {kAlignCenter, 400, 300, 100, 50, 150, 125},
        {kAlignBottom, 400, 300, 100, 50, 150, 250},
        {kCornerToCorner, 400, 300, 500, 300, -50, 0},
        {kAlignCenter, 50, 40, 50, 25, 0, 8},      // 7.5 goes to the even 8
        {kAlignCenter, 101, 101, 100, 100, 0, 0},  // 0.5 goes to 0
        {kAlignCenter, 103, 103, 100, 100, 2, 2},  // 1.5 goes to 2
        {kAlignCenter, 60, 30, 100, 50, -20, -10}, // larger than the picture
        {-1, 400, 300, 100, 50, 150, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.alignment << " " << c.W << "x" << c.H);
        EXPECT_EQ(WatermarkLeft(c.W, c.Ws), c.x);
        EXPECT_EQ(WatermarkTop(c.alignment, c.H, c.Hs), c.y);
    }
    EXPECT_THROW(WatermarkLeft(70000, 0), PlatformError);
    EXPECT_THROW(WatermarkTop(kAlignBottom, 40000, 0), PlatformError);
}

// Only red and green decide: both 255 is light, whatever the blue.
TEST(ColourKey, LightWhenRedAndGreenAreFull) {
    struct Case {
        COLORREF colour;
        bool light;
    };
    const Case cases[] = {{RGB(255, 255, 255), true},  {RGB(255, 255, 0), true},
                          {RGB(0, 0, 0), false},       {RGB(64, 64, 64), false},
                          {RGB(255, 254, 255), false}, {RGB(254, 255, 255), false}};
    for (const Case& c : cases) {
        auto s = Surface::Create(3, 3, 0xFF000000u);
        s->Row(1)[1] = PixelFromColor(c.colour);
        SurfaceDC dc(*s);
        EXPECT_EQ(LightKey(dc.Handle()), c.light) << std::hex << c.colour;
    }
    // No pixel at (1, 1) reads as CLR_INVALID, which counts as light.
    auto tiny = Surface::Create(1, 1, 0xFF000000u);
    SurfaceDC dc(*tiny);
    EXPECT_TRUE(LightKey(dc.Handle()));
}

} // namespace
} // namespace zembra
