#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::PngLayout;
using testing::WritePng;

struct PngCase {
    const char* name;
    int colorType;
    int bitDepth;
    bool interlace;
};

class PngVariants : public ::testing::TestWithParam<PngCase> {};

// Channels of each colour type, in file order.
int Channels(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    default:
        return 4;
    }
}

TEST_P(PngVariants, DecodeToTheColoursWritten) {
    const auto& c = GetParam();
    PngLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.colorType = c.colorType;
    layout.bitDepth = c.bitDepth;
    layout.interlace = c.interlace;
    const unsigned max = (1u << c.bitDepth) - 1;
    const int channels = Channels(c.colorType);
    if (c.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (unsigned i = 0; i <= max; ++i)
            layout.palette.push_back(
                png_color{static_cast<png_byte>(i * 40), static_cast<png_byte>(255 - i), 7});
    }
    // Each sample a different level; 16-bit levels are multiples of 257, which
    // scale to 8 bits exactly.
    std::vector<unsigned> samples;
    for (int i = 0; i < layout.width * layout.height * channels; ++i) {
        unsigned v = static_cast<unsigned>(i * 37 + 11) % (max + 1);
        if (c.bitDepth == 16)
            v = (v % 256) * 257;
        samples.push_back(v);
    }
    auto decoded = DecodePng(WritePng(layout, samples), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded) << decoded.failure().detail;
    const Surface& got = decoded.value().pixels;
    auto want = Surface::Create(layout.width, layout.height);
    const auto level = [&](unsigned v) -> std::uint32_t {
        return c.bitDepth == 16 ? v / 257 : v * 255 / max;
    };
    for (int p = 0; p < layout.width * layout.height; ++p) {
        const unsigned* s = &samples[static_cast<std::size_t>(p * channels)];
        std::uint32_t r, g, b, a = 255;
        if (c.colorType == PNG_COLOR_TYPE_PALETTE) {
            const auto& e = layout.palette[s[0]];
            r = e.red, g = e.green, b = e.blue;
        } else if (channels <= 2) {
            r = g = b = level(s[0]);
            if (channels == 2)
                a = level(s[1]);
        } else {
            r = level(s[0]), g = level(s[1]), b = level(s[2]);
            if (channels == 4)
                a = level(s[3]);
        }
        want->Pixels()[static_cast<std::size_t>(p)] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    EXPECT_TRUE(testing::SamePixels(got, *want));
    EXPECT_EQ(decoded.value().hasAlpha, (c.colorType & PNG_COLOR_MASK_ALPHA) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngVariants,
    ::testing::Values(PngCase{"Gray1", PNG_COLOR_TYPE_GRAY, 1, false},
                      PngCase{"Gray2", PNG_COLOR_TYPE_GRAY, 2, false},
                      PngCase{"Gray4", PNG_COLOR_TYPE_GRAY, 4, true},
                      PngCase{"Gray8", PNG_COLOR_TYPE_GRAY, 8, false},
                      PngCase{"Gray16", PNG_COLOR_TYPE_GRAY, 16, false},
                      PngCase{"Palette1", PNG_COLOR_TYPE_PALETTE, 1, false},
                      PngCase{"Palette2", PNG_COLOR_TYPE_PALETTE, 2, true},
                      PngCase{"Palette4", PNG_COLOR_TYPE_PALETTE, 4, false},
                      PngCase{"Palette8", PNG_COLOR_TYPE_PALETTE, 8, false},
                      PngCase{"GrayAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
                      PngCase{"GrayAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, true},
                      PngCase{"Rgb8", PNG_COLOR_TYPE_RGB, 8, false},
                      PngCase{"Rgb8Interlaced", PNG_COLOR_TYPE_RGB, 8, true},
                      PngCase{"Rgb16", PNG_COLOR_TYPE_RGB, 16, false},
                      PngCase{"Rgba8", PNG_COLOR_TYPE_RGBA, 8, true},
                      PngCase{"Rgba16", PNG_COLOR_TYPE_RGBA, 16, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Png, TransparencyChunkMakesPaletteEntriesAndOneColourTransparent) {
    PngLayout palette;
    palette.width = 2;
    palette.height = 1;
    palette.colorType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {{10, 20, 30}, {40, 50, 60}};
    palette.paletteAlpha = {0}; // entry 0 transparent, entry 1 opaque
    auto p = DecodePng(WritePng(palette, {0, 1}), DecodeLimits{}, 0);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p.value().hasAlpha);
    EXPECT_EQ(p.value().pixels.At(0, 0), 0x000A141Eu);
    EXPECT_EQ(p.value().pixels.At(1, 0), 0xFF28323Cu);
    // The indices stay, so a new palette can be applied.
    ASSERT_TRUE(p.value().indexed);
    EXPECT_EQ(p.value().indexed->indices, (std::vector<std::uint8_t>{0, 1}));

    PngLayout rgb;
    rgb.width = 2;
    rgb.height = 1;
    rgb.transparentColor = true;
    rgb.trns.red = 1, rgb.trns.green = 2, rgb.trns.blue = 3;
    auto q = DecodePng(WritePng(rgb, {1, 2, 3, 1, 2, 4}), DecodeLimits{}, 0);
    ASSERT_TRUE(q);
    EXPECT_EQ(q.value().pixels.At(0, 0) >> 24, 0u);
    EXPECT_EQ(q.value().pixels.At(1, 0), 0xFF010204u);
}

TEST(Png, EncodesOpaqueRgbThatDecodesExactly) {
    const Surface picture = testing::PhotoLike(17, 9);
    auto encoded = EncodePng(picture, EncodeOptions{});
    ASSERT_TRUE(encoded) << encoded.failure().detail;
    auto decoded = DecodePng(encoded.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, picture));
    EXPECT_FALSE(decoded.value().hasAlpha);
}

TEST(Png, CarriesAColourProfileThrough) {
    // libpng checks profiles closely, so this needs a real one.
    const auto profile = testing::SystemRgbProfile();
    if (profile.empty())
        GTEST_SKIP() << "no RGB ICC profile installed";
    Surface picture = testing::PhotoLike(4, 4);
    picture.SetProfile(std::make_shared<const std::vector<std::uint8_t>>(profile));
    auto encoded = EncodePng(picture, EncodeOptions{});
    ASSERT_TRUE(encoded);
    auto decoded = DecodePng(encoded.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    ASSERT_TRUE(decoded.value().pixels.Profile());
    EXPECT_EQ(*decoded.value().pixels.Profile(), profile);
}

TEST(Png, RefusesPicturesBeyondThePixelLimit) {
    PngLayout layout;
    layout.width = 100;
    layout.height = 100;
    std::vector<unsigned> samples(100 * 100 * 3, 9);
    DecodeLimits limits;
    limits.maxPixels = 9999;
    auto decoded = DecodePng(WritePng(layout, samples), limits, 0);
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.failure().status, GpStatus::OutOfMemory);
}

} // namespace
} // namespace zembra
