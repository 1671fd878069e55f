#include "platform/raster_ops.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace zembra {
namespace {

// Surfaces are written and compared as COLORREF lists, row by row.
Surface Make(int w, int h, std::vector<COLORREF> colors) {
    auto s = Surface::Create(w, h);
    for (std::size_t i = 0; i < colors.size(); ++i)
        s->Pixels()[i] = PixelFromColor(colors[i]);
    return std::move(*s);
}

::testing::AssertionResult Shows(const Surface& s, const std::vector<COLORREF>& expected) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const COLORREF got = ColorFromPixel(s.At(x, y));
            const COLORREF want = expected[static_cast<std::size_t>(y * s.Width() + x)];
            if (got != want)
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x"
                                                     << std::hex << got << ", expected 0x" << want;
        }
    return ::testing::AssertionSuccess();
}

constexpr COLORREF A = RGB(1, 0, 0), B = RGB(2, 0, 0), C = RGB(3, 0, 0), D = RGB(4, 0, 0),
                   E = RGB(5, 0, 0), F = RGB(6, 0, 0), Z = RGB(9, 9, 9);

// 3 x 2 source:  A B C
//                D E F
Surface Source() {
    return Make(3, 2, {A, B, C, D, E, F});
}

struct BlitCase {
    const char* name;
    int dx, dy, w, h, sx, sy;
    std::vector<COLORREF> expected;
};

class BlitClipping : public ::testing::TestWithParam<BlitCase> {};

TEST_P(BlitClipping, CopiesOnlyPixelsInsideBothSurfaces) {
    const auto& c = GetParam();
    Surface dst = Make(3, 2, {Z, Z, Z, Z, Z, Z});
    ASSERT_TRUE(Blit(dst, c.dx, c.dy, c.w, c.h, Source(), c.sx, c.sy, SRCCOPY));
    EXPECT_TRUE(Shows(dst, c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    RasterOps, BlitClipping,
    ::testing::Values(BlitCase{"Whole", 0, 0, 3, 2, 0, 0, {A, B, C, D, E, F}},
                      BlitCase{"DestinationLeftOfEdge", -1, 0, 3, 2, 0, 0, {B, C, Z, E, F, Z}},
                      BlitCase{"DestinationAboveEdge", 0, -1, 3, 2, 0, 0, {D, E, F, Z, Z, Z}},
                      BlitCase{"WiderThanSurface", 0, 0, 4, 2, 0, 0, {A, B, C, D, E, F}},
                      BlitCase{"StartsAtWidth", 3, 0, 3, 2, 0, 0, {Z, Z, Z, Z, Z, Z}},
                      BlitCase{"LastPixelOnly", 2, 1, 3, 2, 0, 0, {Z, Z, Z, Z, Z, A}},
                      BlitCase{"SourceLeftOfEdge", 0, 0, 3, 2, -1, 0, {Z, A, B, Z, D, E}},
                      BlitCase{"SourcePastWidth", 0, 0, 3, 2, 1, 1, {E, F, Z, Z, Z, Z}},
                      BlitCase{"NearIntLimits", INT_MIN, INT_MAX, 3, 2, 0, 0, {Z, Z, Z, Z, Z, Z}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RasterOps, AndAndOrCombineEveryBit) {
    const COLORREF d = RGB(0xF0, 0x0F, 0xAA), s = RGB(0x3C, 0xFF, 0x55);
    Surface dst = Make(1, 1, {d});
    ASSERT_TRUE(Blit(dst, 0, 0, 1, 1, Make(1, 1, {s}), 0, 0, SRCAND));
    EXPECT_TRUE(Shows(dst, {RGB(0x30, 0x0F, 0x00)}));
    dst = Make(1, 1, {d});
    ASSERT_TRUE(Blit(dst, 0, 0, 1, 1, Make(1, 1, {s}), 0, 0, SRCPAINT));
    EXPECT_TRUE(Shows(dst, {RGB(0xFC, 0xFF, 0xFF)}));
}

TEST(RasterOps, UnknownOperationOrNegativeSizeDrawsNothing) {
    Surface dst = Make(3, 2, {Z, Z, Z, Z, Z, Z});
    EXPECT_FALSE(Blit(dst, 0, 0, 3, 2, Source(), 0, 0, 0x00660046)); // SRCINVERT is not offered
    EXPECT_FALSE(Blit(dst, 0, 0, -3, 2, Source(), 0, 0, SRCCOPY));
    EXPECT_TRUE(Shows(dst, {Z, Z, Z, Z, Z, Z}));
}

TEST(RasterOps, CopyOntoItselfReadsTheOriginalPixels) {
    Surface s = Make(3, 1, {A, B, C});
    ASSERT_TRUE(Blit(s, 1, 0, 2, 1, s, 0, 0, SRCCOPY));
    // A forward copy without a snapshot would smear A over all three.
    EXPECT_TRUE(Shows(s, {A, A, B}));
}

TEST(RasterOps, StretchTakesThePixelUnderEachCentre) {
    Surface dst = Make(2, 1, {Z, Z});
    Surface src = Make(4, 2, {A, B, C, D, E, F, Z, A});
    ASSERT_TRUE(StretchBlit(dst, 0, 0, 2, 1, src, 0, 0, 4, 2, SRCCOPY));
    // Halving: pixel i samples floor((2i + 1) * 4 / 4) = 2i + 1 across, row 1 down.
    EXPECT_TRUE(Shows(dst, {F, A}));

    Surface wide = Make(6, 1, {Z, Z, Z, Z, Z, Z});
    ASSERT_TRUE(StretchBlit(wide, 0, 0, 6, 1, Source(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_TRUE(Shows(wide, {A, A, B, B, C, C}));

    // Three onto two: centres 0.75 and 2.25 fall in pixels 0 and 2.
    Surface two = Make(2, 1, {Z, Z});
    ASSERT_TRUE(StretchBlit(two, 0, 0, 2, 1, Source(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_TRUE(Shows(two, {A, C}));
}

TEST(RasterOps, StretchMirrorsForNegativeWidthAndClips) {
    Surface dst = Make(3, 1, {Z, Z, Z});
    ASSERT_TRUE(StretchBlit(dst, 3, 0, -3, 1, Source(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_TRUE(Shows(dst, {C, B, A}));

    // Doubling at x = -1: the first destination column falls off the edge.
    Surface clipped = Make(3, 2, {Z, Z, Z, Z, Z, Z});
    ASSERT_TRUE(StretchBlit(clipped, -1, 0, 6, 2, Source(), 0, 0, 3, 2, SRCCOPY));
    EXPECT_TRUE(Shows(clipped, {A, B, B, D, E, E}));

    // A source rectangle hanging off the right only draws where it has pixels.
    Surface partial = Make(3, 1, {Z, Z, Z});
    ASSERT_TRUE(StretchBlit(partial, 0, 0, 3, 1, Source(), 1, 0, 3, 1, SRCCOPY));
    EXPECT_TRUE(Shows(partial, {B, C, Z}));
    EXPECT_FALSE(StretchBlit(partial, 0, 0, 0, 1, Source(), 0, 0, 3, 1, SRCCOPY));
}

struct BlendCase {
    int alpha, source, dest, expected;
};

class ConstantAlpha : public ::testing::TestWithParam<BlendCase> {};

TEST_P(ConstantAlpha, RoundsEachChannelToNearest) {
    const auto& c = GetParam();
    Surface dst = Make(1, 1, {RGB(c.dest, c.dest, c.dest)});
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = static_cast<std::uint8_t>(c.alpha);
    ASSERT_TRUE(BlendOver(dst, 0, 0, 1, 1, Make(1, 1, {RGB(c.source, c.source, c.source)}), 0, 0, 1,
                          1, blend));
    EXPECT_TRUE(Shows(dst, {RGB(c.expected, c.expected, c.expected)}));
}

INSTANTIATE_TEST_SUITE_P(
    RasterOps, ConstantAlpha,
    ::testing::Values(BlendCase{135, 255, 0, 135}, // a black logo under a 50% white wash
                      BlendCase{200, 255, 0, 200}, BlendCase{5, 255, 100, 103},
                      BlendCase{100, 10, 0, 4}, // 3.92: truncating would give 3
                      BlendCase{255, 17, 200, 17}, BlendCase{0, 17, 200, 200}));

TEST(RasterOps, BlendStretchesTheSourceAndRefusesOneOffItsSurface) {
    Surface dst = Make(3, 2, {A, B, C, D, E, F});
    const Surface white = Make(1, 1, {RGB(255, 255, 255)});
    const BLENDFUNCTION full = BLENDFUNCTION::FromValue(0x00FF0000u); // constant alpha 255
    EXPECT_FALSE(BlendOver(dst, 0, 0, 3, 2, white, -1, 0, 1, 1, full));
    EXPECT_FALSE(BlendOver(dst, 0, 0, 3, 2, white, 0, 0, 2, 1, full));
    EXPECT_FALSE(
        BlendOver(dst, 0, 0, 3, 2, white, 0, 0, 1, 1, BLENDFUNCTION::FromValue(0x00FF0002u)));
    EXPECT_TRUE(Shows(dst, {A, B, C, D, E, F}));
    ASSERT_TRUE(BlendOver(dst, 0, 0, 3, 2, white, 0, 0, 1, 1, full));
    const COLORREF W = RGB(255, 255, 255);
    EXPECT_TRUE(Shows(dst, {W, W, W, W, W, W}));
}

TEST(RasterOps, FillAndReadBackWithInvalidOutside) {
    Surface s = Make(3, 2, {Z, Z, Z, Z, Z, Z});
    FillPixels(s, 2, -1, 5, 2, PixelFromColor(A));
    EXPECT_TRUE(Shows(s, {Z, Z, A, Z, Z, Z}));
    EXPECT_EQ(PixelColor(s, 2, 0), A);
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}})
        EXPECT_EQ(PixelColor(s, x, y), CLR_INVALID) << x << ", " << y;
}

TEST(DeviceContexts, HandlesReachTheirSurfaceUntilReleased) {
    Surface s = Make(3, 2, {A, B, C, D, E, F});
    HDC handle;
    {
        SurfaceDC dc(s);
        handle = dc.Handle();
        EXPECT_EQ(GetPixel(handle, 1, 1), E);
        ASSERT_TRUE(BitBlt(handle, 1, 0, 2, 2, handle, 0, 0, SRCCOPY));
        EXPECT_TRUE(Shows(s, {A, A, B, D, D, E}));
        ASSERT_TRUE(FillSolid(handle, 0, 0, 1, 1, Z));
        EXPECT_EQ(GetPixel(handle, 0, 0), Z);
    }
    EXPECT_EQ(DeviceContext::FromHandle(handle), nullptr);
    EXPECT_EQ(GetPixel(handle, 0, 0), CLR_INVALID);
    EXPECT_FALSE(FillSolid(handle, 0, 0, 1, 1, A));
    EXPECT_FALSE(BitBlt(HDC::Null, 0, 0, 1, 1, HDC::Null, 0, 0, SRCCOPY));
    // A new context never takes over a released handle.
    SurfaceDC again(s);
    EXPECT_NE(again.Handle(), handle);
}

TEST(DeviceContexts, AlphaBlendThroughHandles) {
    Surface dst = Make(1, 1, {RGB(0, 0, 0)});
    Surface wash = Make(
        2, 2, {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)});
    SurfaceDC to(dst), from(wash);
    ASSERT_TRUE(AlphaBlend(to.Handle(), 0, 0, 1, 1, from.Handle(), 0, 0, 2, 2,
                           BLENDFUNCTION::FromValue(135u << 16)));
    EXPECT_EQ(GetPixel(to.Handle(), 0, 0), RGB(135, 135, 135));
}

} // namespace
} // namespace zembra
