#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <gif_lib.h>

namespace zembra {
namespace {

using testing::Pixels;

struct GifFrame {
    int left = 0, top = 0, width = 2, height = 2;
    std::vector<GifByteType> indices{};
    int transparent = NO_TRANSPARENT_COLOR;
    bool interlace = false;
};

// Palette: 0 black, 1 red, 2 green, 3 blue.
Bytes WriteGif(int width, int height, const GifFrame& f) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(
        &out,
        [](GifFileType* g, const GifByteType* d, int n) {
            auto* o = static_cast<Bytes*>(g->UserData);
            o->insert(o->end(), d, d + n);
            return n;
        },
        &error);
    const GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 2, 0, map);
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, f.transparent};
    GifByteType ext[4];
    const auto length = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), ext);
    EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, nullptr);
    // Interlaced frames store rows 0, then 4.. by 8, 2.. by 4, 1.. by 2.
    constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = f.interlace ? 0 : 3; pass < 4; ++pass)
        for (int r = f.interlace ? kStart[pass] : 0; r < f.height;
             r += f.interlace ? kStep[pass] : 1)
            EGifPutLine(gif, const_cast<GifByteType*>(&f.indices[std::size_t(r * f.width)]),
                        f.width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

constexpr std::uint32_t K = 0xFF000000u, R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu;

TEST(Gif, FirstFrameWithTransparencyInterlacingAndOffset) {
    // 2 x 3 at (0, 0), index 0 transparent, interlaced.
    const GifFrame frame{0, 0, 2, 3, {1, 2, 3, 0, 1, 1}, 0, true};
    auto decoded = DecodeGif(WriteGif(2, 3, frame), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded) << decoded.failure().detail;
    EXPECT_TRUE(decoded.value().hasAlpha);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Pixels(2, 3, {R, G, B, 0, R, R})));
    // A frame smaller than the screen leaves the rest transparent.
    const GifFrame small{.left = 1, .top = 1, .width = 1, .height = 1, .indices = {3}};
    EXPECT_TRUE(
        testing::DecodesTo(DecodeGif, WriteGif(3, 2, small), Pixels(3, 2, {0, 0, 0, 0, B, 0})));
}

TEST(Gif, FewColoursRoundTripExactlyAndPhotosKeepCloseOnesThroughAnAdaptivePalette) {
    const Surface few = Pixels(3, 2, {K, R, G, B, R, 0xFF123456u});
    auto exact = EncodeGif(few, EncodeOptions{});
    ASSERT_TRUE(exact);
    EXPECT_TRUE(testing::DecodesTo(DecodeGif, exact.value(), few));
    // Gradients of a photo have thousands of colours, mostly near each other; a
    // fixed 6 x 6 x 6 colour cube would miss these by about 12 levels on average.
    Surface photo = testing::PhotoLike(200, 150);
    for (auto& p : photo.Pixels())
        p = 0xFF000000u | (p & 0x00FFFF00u) | ((p >> 16) & 0x3F); // a narrower range of blue
    auto encoded = EncodeGif(photo, EncodeOptions{});
    ASSERT_TRUE(encoded);
    auto decoded = DecodeGif(encoded.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_LT(testing::MeanError(decoded.value().pixels, photo), 6.0);
}

TEST(Gif, RefusesPicturesWiderThanTheFormat) {
    auto encoded = EncodeGif(*Surface::Create(70000, 1), EncodeOptions{});
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.failure().status, GpStatus::ValueOverflow);
}

} // namespace
} // namespace zembra
