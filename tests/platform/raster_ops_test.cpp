#include "platform/fox_rotate.h"
#include "platform/raster_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace zembra {
namespace {

// Surfaces are written and compared as COLORREF lists, row by row.
Surface Make(int w, int h, const std::vector<COLORREF>& colors) {
    auto s = Surface::Create(w, h);
    for (std::size_t i = 0; i < colors.size(); ++i)
        s->Pixels()[i] = PixelFromColor(colors[i]);
    return std::move(*s);
}

using Colours = std::vector<COLORREF>;

Colours Colors(const Surface& s) {
    Colours out;
    for (auto p : s.Pixels())
        out.push_back(ColorFromPixel(p));
    return out;
}

constexpr COLORREF A = RGB(1, 0, 0), B = RGB(2, 0, 0), C = RGB(3, 0, 0), D = RGB(4, 0, 0),
                   E = RGB(5, 0, 0), F = RGB(6, 0, 0), Z = RGB(9, 9, 9);

// 3 x 2 source:  A B C
//                D E F
Surface Source() {
    return Make(3, 2, {A, B, C, D, E, F});
}

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

TEST(RasterOps, BlitCopiesOnlyPixelsInsideBothSurfaces) {
    const struct {
        const char* name;
        int dx, dy, w, h, sx, sy;
        std::vector<COLORREF> expected;
    } cases[] = {{"whole", 0, 0, 3, 2, 0, 0, {A, B, C, D, E, F}},
                 {"destination left of edge", -1, 0, 3, 2, 0, 0, {B, C, Z, E, F, Z}},
                 {"destination above edge", 0, -1, 3, 2, 0, 0, {D, E, F, Z, Z, Z}},
                 {"wider than surface", 0, 0, 4, 2, 0, 0, {A, B, C, D, E, F}},
                 {"starts at width", 3, 0, 3, 2, 0, 0, {Z, Z, Z, Z, Z, Z}},
                 {"last pixel only", 2, 1, 3, 2, 0, 0, {Z, Z, Z, Z, Z, A}},
                 {"source left of edge", 0, 0, 3, 2, -1, 0, {Z, A, B, Z, D, E}},
                 {"source past width", 0, 0, 3, 2, 1, 1, {E, F, Z, Z, Z, Z}},
                 {"near int limits", INT_MIN, INT_MAX, 3, 2, 0, 0, {Z, Z, Z, Z, Z, Z}}};
    for (const auto& c : cases) {
        Surface dst = Make(3, 2, {Z, Z, Z, Z, Z, Z});
        ASSERT_TRUE(Blit(dst, c.dx, c.dy, c.w, c.h, Source(), c.sx, c.sy, SRCCOPY)) << c.name;
        EXPECT_EQ(Colors(dst), c.expected) << c.name;
    }
}

// AND and OR are checked bit for bit with the watermark, which draws with them.
TEST(RasterOps, CopyOntoItselfReadsTheOriginalAndOddRequestsChangeNothing) {
    Surface s = Make(3, 1, {C, A, B});
    EXPECT_FALSE(Blit(s, 0, 0, 3, 1, Source(), 0, 0, 0x00660046)); // SRCINVERT is not offered
    EXPECT_FALSE(Blit(s, 0, 0, -3, 1, Source(), 0, 0, SRCCOPY));
    EXPECT_EQ(Colors(s), (Colours{C, A, B}));
    ASSERT_TRUE(Blit(s, 1, 0, 2, 1, s, 0, 0, SRCCOPY));
    // A forward copy without a snapshot would smear C over all three.
    EXPECT_EQ(Colors(s), (Colours{C, C, A}));
}

// Mask operations are never filtered: ORed onto black, each destination pixel
// shows exactly the source pixel under its centre.
TEST(RasterOps, MaskStretchTakesThePixelUnderEachCentreMirrorsAndClips) {
    constexpr COLORREF K = RGB(0, 0, 0);
    const struct {
        const char* name;
        int width, height; // of the destination, filled with K
        int dx, dy, dw, dh;
        Surface src;
        int sx, sy, sw, sh;
        std::vector<COLORREF> expected;
    } cases[] = {
        // Pixel i samples floor((2i + 1) * 4 / 4) = 2i + 1 across, row 1 down.
        {"halving", 2, 1, 0, 0, 2, 1, Make(4, 2, {A, B, C, D, E, F, Z, A}), 0, 0, 4, 2, {F, A}},
        {"doubling", 6, 1, 0, 0, 6, 1, Source(), 0, 0, 3, 1, {A, A, B, B, C, C}},
        // Centres 0.75 and 2.25 fall in pixels 0 and 2.
        {"three onto two", 2, 1, 0, 0, 2, 1, Source(), 0, 0, 3, 1, {A, C}},
        {"mirrored by negative width", 3, 1, 3, 0, -3, 1, Source(), 0, 0, 3, 1, {C, B, A}},
        {"first column off the edge", 3, 2, -1, 0, 6, 2, Source(), 0, 0, 3, 2, {A, B, B, D, E, E}},
        {"source hanging off the right", 3, 1, 0, 0, 3, 1, Source(), 1, 0, 3, 1, {B, C, K}}};
    for (const auto& c : cases) {
        Surface dst = Make(c.width, c.height, std::vector<COLORREF>(c.expected.size(), K));
        ASSERT_TRUE(
            StretchBlit(dst, c.dx, c.dy, c.dw, c.dh, c.src, c.sx, c.sy, c.sw, c.sh, SRCPAINT))
            << c.name;
        EXPECT_EQ(Colors(dst), c.expected) << c.name;
    }
    Surface dst = Make(3, 1, {Z, Z, Z});
    EXPECT_FALSE(StretchBlit(dst, 0, 0, 0, 1, Source(), 0, 0, 3, 1, SRCCOPY));
}

// A copy is filtered: same-size copies stay exact (mirrored too), a stretch of one
// colour stays that colour, and only the pixels a sampled stretch would reach are
// drawn, from source pixels inside the source surface.
TEST(RasterOps, CopyStretchFiltersWithinTheSameClipping) {
    const COLORREF G = RGB(90, 120, 200);
    const Surface source = Source(), flat = Make(3, 2, Colours(6, G));
    const struct {
        const char* name;
        int width; // of the two-row destination, filled with Z
        int dx, dw;
        const Surface& src;
        int sx, sw;
        Colours expected;
    } cases[] = {
        {"same size", 3, 0, 3, source, 0, 3, {A, B, C, D, E, F}},
        {"same size mirrored", 3, 3, -3, source, 0, 3, {C, B, A, F, E, D}},
        {"flat enlarged past the left edge", 5, -2, 9, flat, 0, 3, Colours(10, G)},
        // Source columns 1 and 2 exist, column 3 does not: the third pixel is left,
        // and the filter reads none of the missing column, so the grey stays grey.
        {"flat source hanging off the right", 4, 0, 4, flat, 1, 3, {G, G, G, Z, G, G, G, Z}}};
    for (const auto& c : cases) {
        Surface dst = Make(c.width, 2, std::vector<COLORREF>(c.expected.size(), Z));
        ASSERT_TRUE(StretchBlit(dst, c.dx, 0, c.dw, 2, c.src, c.sx, 0, c.sw, 2, SRCCOPY)) << c.name;
        EXPECT_EQ(Colors(dst), c.expected) << c.name;
    }
    // Halving black and white columns gives grey, where sampling would pick one.
    std::vector<COLORREF> stripes;
    for (int i = 0; i < 16; ++i)
        stripes.push_back(i % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    Surface half = Make(4, 1, {Z, Z, Z, Z});
    ASSERT_TRUE(StretchBlit(half, 0, 0, 4, 1, Make(16, 1, stripes), 0, 0, 16, 1, SRCCOPY));
    for (COLORREF c : Colors(half))
        EXPECT_NEAR(static_cast<int>(c & 0xFF), 128, 24);
}

TEST(RasterOps, BlendRoundsEachChannelToNearestAndRefusesSourcesOffTheirSurface) {
    const struct {
        int alpha, source, dest, expected;
    } cases[] = {{135, 255, 0, 135}, // a black logo under a 50% white wash
                 {200, 255, 0, 200}, {5, 255, 100, 103},
                 {100, 10, 0, 4}, // 3.92: truncating would give 3
                 {255, 17, 200, 17}, {0, 17, 200, 200}};
    for (const auto& c : cases) {
        Surface dst = Make(1, 1, {RGB(c.dest, c.dest, c.dest)});
        BLENDFUNCTION blend;
        blend.SourceConstantAlpha = static_cast<std::uint8_t>(c.alpha);
        ASSERT_TRUE(BlendOver(dst, 0, 0, 1, 1, Make(1, 1, {RGB(c.source, c.source, c.source)}), 0,
                              0, 1, 1, blend));
        EXPECT_EQ(Colors(dst), (Colours{RGB(c.expected, c.expected, c.expected)}))
            << "alpha " << c.alpha;
    }
    Surface dst = Make(1, 1, {A});
    const Surface white = Make(1, 1, {RGB(255, 255, 255)});
    const BLENDFUNCTION full = BLENDFUNCTION::FromValue(0x00FF0000u); // constant alpha 255
    EXPECT_FALSE(BlendOver(dst, 0, 0, 1, 1, white, -1, 0, 1, 1, full));
    EXPECT_FALSE(BlendOver(dst, 0, 0, 1, 1, white, 0, 0, 2, 1, full));
    EXPECT_EQ(Colors(dst), (Colours{A}));
}

TEST(RasterOps, FillClipsAndReadsOutsideAsInvalidAndHandlesDieWithTheirContext) {
    Surface f = Make(3, 2, {Z, Z, Z, Z, Z, Z});
    FillPixels(f, 2, -1, 5, 2, PixelFromColor(A));
    EXPECT_EQ(Colors(f), (Colours{Z, Z, A, Z, Z, Z}));
    EXPECT_EQ(PixelColor(f, 2, 0), A);
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}})
        EXPECT_EQ(PixelColor(f, x, y), CLR_INVALID) << x << ", " << y;
    Surface s = Make(3, 2, {A, B, C, D, E, F});
    HDC handle;
    {
        SurfaceDC dc(s);
        handle = dc.Handle();
        EXPECT_EQ(GetPixel(handle, 1, 1), E);
        ASSERT_TRUE(BitBlt(handle, 1, 0, 2, 2, handle, 0, 0, SRCCOPY));
        EXPECT_EQ(Colors(s), (Colours{A, A, B, D, D, E}));
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

// A rectangle turned in bands, each band a surface of its own holding its rows and
// the one after, drawn last band first, gives RotateOnto's pixels exactly: edges,
// mixing and the rows two bands share included.
TEST(FoxRotate, BandsDrawWhatTheWholeDraws) {
    constexpr int w = 9, h = 23;
    auto src = Surface::Create(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            src->Row(j)[std::size_t(i)] =
                0xFF000000u | std::uint32_t((i * 7919 + j * 104729) * 2654435761u >> 8);
    for (double degrees : {-33.69, 0.0, 30.0, 90.0, 147.0}) {
        auto whole = Surface::Create(30, 30, kWhite);
        ASSERT_TRUE(RotateOnto(*whole, 15, 14.5, *src, 0, 0, w, h, degrees));
        for (int rows : {1, 5}) {
            auto banded = Surface::Create(30, 30, kWhite);
            for (int first = (h - 1) / rows * rows; first >= 0; first -= rows) {
                const int count = std::min(rows, h - first);
                const int held = std::min(count + 1, h - first);
                auto band = Surface::Create(w, held);
                for (int j = 0; j < held; ++j)
                    std::copy_n(src->Row(first + j).begin(), w, band->Row(j).begin());
                ASSERT_TRUE(RotateBandOnto(*banded, 15, 14.5, *band, first, count, w, h, degrees));
                if (held > count) { // without the row after it a band is refused
                    EXPECT_FALSE(RotateBandOnto(*banded, 15, 14.5, *Surface::Create(w, count),
                                                first, count, w, h, degrees));
                }
            }
            EXPECT_TRUE(std::equal(banded->Pixels().begin(), banded->Pixels().end(),
                                   whole->Pixels().begin()))
                << degrees << " in bands of " << rows;
        }
    }
}

} // namespace
} // namespace zembra
