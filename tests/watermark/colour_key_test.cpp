#include "watermark/colour_key.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

// Only red and green decide: both 255 is light, whatever the blue; a pixel that
// cannot be read (a 1x1 watermark has none at (1, 1)) counts as light too.
TEST(ColourKey, LightWhenRedAndGreenAreFull) {
    const std::pair<COLORREF, bool> cases[] = {
        {RGB(255, 255, 255), true}, {RGB(255, 255, 0), true},    {RGB(0, 0, 0), false},
        {RGB(64, 64, 64), false},   {RGB(255, 254, 255), false}, {RGB(254, 255, 255), false}};
    for (const auto& [colour, light] : cases) {
        auto s = Surface::Create(3, 3, 0xFF000000u);
        s->Row(1)[1] = PixelFromColor(colour);
        SurfaceDC dc(*s);
        EXPECT_EQ(LightKey(dc.Handle()), light) << std::hex << colour;
    }
    auto tiny = Surface::Create(1, 1, 0xFF000000u);
    SurfaceDC dc(*tiny);
    EXPECT_TRUE(LightKey(dc.Handle()));
}

} // namespace
} // namespace zembra
