#include "imaging/codec.h"
#include "imaging/palette_quantizer.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <gif_lib.h>

namespace zembra {
namespace {

struct GifFrame {
    int left = 0, top = 0, width = 2, height = 2;
    std::vector<GifByteType> indices;
    int transparent = NO_TRANSPARENT_COLOR;
    int disposal = DISPOSAL_UNSPECIFIED;
    bool interlace = false;
};

// Palette: 0 black, 1 red, 2 green, 3 blue.
Bytes WriteGif(int width, int height, const std::vector<GifFrame>& frames) {
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
    for (const auto& f : frames) {
        GraphicsControlBlock gcb{f.disposal, false, 0, f.transparent};
        GifByteType ext[4];
        const auto length = EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), ext);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, nullptr);
        // Interlaced frames store rows 0, then 4.. by 8, 2.. by 4, 1.. by 2 (for small
        // frames: the passes that exist).
        constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        std::vector<int> order;
        if (f.interlace) {
            for (int pass = 0; pass < 4; ++pass)
                for (int r = kStart[pass]; r < f.height; r += kStep[pass])
                    order.push_back(r);
        } else {
            for (int r = 0; r < f.height; ++r)
                order.push_back(r);
        }
        for (int r : order) {
            std::vector<GifByteType> row(f.indices.begin() + r * f.width,
                                         f.indices.begin() + (r + 1) * f.width);
            EGifPutLine(gif, row.data(), f.width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

constexpr std::uint32_t K = 0xFF000000u, R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu;

Surface Expect(int w, int h, std::vector<std::uint32_t> pixels) {
    auto s = Surface::Create(w, h);
    std::copy(pixels.begin(), pixels.end(), s->Pixels().begin());
    return std::move(*s);
}

TEST(Gif, FirstFrameWithTransparencyAndInterlacing) {
    GifFrame frame;
    frame.width = 2;
    frame.height = 3;
    frame.indices = {1, 2, 3, 0, 1, 1};
    frame.transparent = 0;
    frame.interlace = true;
    auto decoded = DecodeGif(WriteGif(2, 3, {frame}), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded) << decoded.failure().detail;
    EXPECT_TRUE(decoded.value().hasAlpha);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Expect(2, 3, {R, G, B, 0, R, R})));
}

TEST(Gif, AFrameSmallerThanTheScreenLeavesTheRestTransparent) {
    GifFrame frame;
    frame.left = 1;
    frame.top = 1;
    frame.width = 1;
    frame.height = 1;
    frame.indices = {3};
    auto decoded = DecodeGif(WriteGif(3, 2, {frame}), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Expect(3, 2, {0, 0, 0, 0, B, 0})));
}

TEST(Gif, LaterFramesAreComposedAsAnAnimationShowsThem) {
    GifFrame first;
    first.indices = {1, 1, 1, 1};
    first.disposal = DISPOSE_DO_NOT;
    GifFrame second;
    second.width = 1;
    second.height = 1;
    second.indices = {2};
    second.disposal = DISPOSE_BACKGROUND;
    GifFrame third;
    third.left = 1;
    third.top = 1;
    third.width = 1;
    third.height = 1;
    third.indices = {3};
    const Bytes file = WriteGif(2, 2, {first, second, third});
    EXPECT_EQ(GifFrameCount(file), 3);
    auto f1 = DecodeGif(file, DecodeLimits{}, 1);
    ASSERT_TRUE(f1);
    EXPECT_TRUE(testing::SamePixels(f1.value().pixels, Expect(2, 2, {G, R, R, R})));
    // The second frame's area is cleared before the third is drawn.
    auto f2 = DecodeGif(file, DecodeLimits{}, 2);
    ASSERT_TRUE(f2);
    EXPECT_TRUE(testing::SamePixels(f2.value().pixels, Expect(2, 2, {0, R, R, B})));
    EXPECT_FALSE(DecodeGif(file, DecodeLimits{}, 3));
}

TEST(Gif, FewColoursRoundTripExactly) {
    const Surface picture = Expect(3, 2, {K, R, G, B, R, 0xFF123456u});
    auto encoded = EncodeGif(picture, EncodeOptions{});
    ASSERT_TRUE(encoded);
    auto decoded = DecodeGif(encoded.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, picture));
}

double MeanError(const Surface& picture, const std::vector<std::uint32_t>& palette,
                 const std::vector<std::uint8_t>& indices) {
    double total = 0;
    const auto pixels = picture.Pixels();
    for (std::size_t i = 0; i < pixels.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            total += std::abs(static_cast<int>((pixels[i] >> shift) & 0xFF) -
                              static_cast<int>((palette[indices[i]] >> shift) & 0xFF));
    return total / (3.0 * static_cast<double>(pixels.size()));
}

TEST(Gif, AdaptivePaletteBeatsAFixedCube) {
    // Gradients of a photo have thousands of colours, mostly near each other.
    Surface photo = testing::PhotoLike(200, 150);
    for (auto& p : photo.Pixels())
        p = 0xFF000000u | (p & 0x00FFFF00u) | ((p >> 16) & 0x3F); // a narrower range of blue
    std::vector<std::uint32_t> cube;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                cube.push_back(0xFF000000u | std::uint32_t(r * 51) << 16 |
                               std::uint32_t(g * 51) << 8 | std::uint32_t(b * 51));
    const double fixed = MeanError(photo, cube, MapToPalette(photo, cube));
    const QuantizedPicture adaptive = Quantize(photo);
    ASSERT_LE(adaptive.palette.size(), 256u);
    const double ours = MeanError(photo, adaptive.palette, adaptive.indices);
    EXPECT_LT(ours * 2, fixed) << "adaptive " << ours << ", fixed cube " << fixed;
}

TEST(Gif, RefusesPicturesWiderThanTheFormat) {
    auto wide = Surface::Create(70000, 1);
    auto encoded = EncodeGif(*wide, EncodeOptions{});
    ASSERT_FALSE(encoded);
    EXPECT_EQ(encoded.failure().status, GpStatus::ValueOverflow);
}

} // namespace
} // namespace zembra
