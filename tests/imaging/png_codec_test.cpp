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
    int channels; // in file order
    int bitDepth;
    bool interlace;
};

TEST(Png, EveryColourTypeAndDepthDecodesToTheColoursWritten) {
    const PngCase variants[] = {{"Gray1", PNG_COLOR_TYPE_GRAY, 1, 1, false},
                                {"Gray4", PNG_COLOR_TYPE_GRAY, 1, 4, true},
                                {"Gray16", PNG_COLOR_TYPE_GRAY, 1, 16, false},
                                {"Palette1", PNG_COLOR_TYPE_PALETTE, 1, 1, false},
                                {"Palette2", PNG_COLOR_TYPE_PALETTE, 1, 2, true},
                                {"Palette8", PNG_COLOR_TYPE_PALETTE, 1, 8, false},
                                {"GrayAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 2, 16, true},
                                {"Rgb8Interlaced", PNG_COLOR_TYPE_RGB, 3, 8, true},
                                {"Rgba8", PNG_COLOR_TYPE_RGBA, 4, 8, true},
                                {"Rgba16", PNG_COLOR_TYPE_RGBA, 4, 16, false}};
    for (const PngCase& c : variants) {
        SCOPED_TRACE(c.name);
        PngLayout layout{5, 3, c.colorType, c.bitDepth, c.interlace};
        const unsigned max = (1u << c.bitDepth) - 1;
        for (unsigned i = 0; c.colorType == PNG_COLOR_TYPE_PALETTE && i <= max; ++i)
            layout.palette.push_back(png_color{png_byte(i * 40), png_byte(255 - i), 7});
        // Each sample a different level; 16-bit levels are multiples of 257, which
        // scale to 8 bits exactly.
        std::vector<unsigned> samples;
        for (int i = 0; i < 5 * 3 * c.channels; ++i) {
            const unsigned v = static_cast<unsigned>(i * 37 + 11) % (max + 1);
            samples.push_back(c.bitDepth == 16 ? (v % 256) * 257 : v);
        }
        auto decoded = DecodePng(WritePng(layout, samples), DecodeLimits{}, 0);
        ASSERT_TRUE(decoded) << decoded.failure().detail;
        auto want = Surface::Create(5, 3);
        const auto level = [&](unsigned v) { return c.bitDepth == 16 ? v / 257 : v * 255 / max; };
        for (std::size_t p = 0; p < 15; ++p) {
            const unsigned* s = &samples[p * static_cast<std::size_t>(c.channels)];
            const std::size_t colour = c.channels >= 3 ? 1 : 0;
            const std::uint32_t a = c.channels % 2 == 0 ? level(s[c.channels - 1]) : 255;
            std::uint32_t r = level(s[0]), g = level(s[colour]), b = level(s[2 * colour]);
            if (c.colorType == PNG_COLOR_TYPE_PALETTE)
                r = layout.palette[s[0]].red, g = layout.palette[s[0]].green,
                b = layout.palette[s[0]].blue;
            want->Pixels()[p] = (a << 24) | (r << 16) | (g << 8) | b;
        }
        EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, *want));
        EXPECT_EQ(decoded.value().hasAlpha, (c.colorType & PNG_COLOR_MASK_ALPHA) != 0);
    }
}

TEST(Png, TransparencyChunkMakesPaletteEntriesTransparent) {
    PngLayout palette{2, 1, PNG_COLOR_TYPE_PALETTE};
    palette.palette = {{10, 20, 30}, {40, 50, 60}};
    palette.paletteAlpha = {0}; // entry 0 transparent, entry 1 opaque
    auto p = DecodePng(WritePng(palette, {0, 1}), DecodeLimits{}, 0);
    ASSERT_TRUE(p);
    EXPECT_TRUE(p.value().hasAlpha);
    EXPECT_TRUE(
        testing::SamePixels(p.value().pixels, testing::Pixels(2, 1, {0x000A141Eu, 0xFF28323Cu})));
    // The indices stay, so a new palette can be applied.
    ASSERT_TRUE(p.value().indexed);
    EXPECT_EQ(p.value().indexed->indices, (std::vector<std::uint8_t>{0, 1}));
}

TEST(Png, EncodesOpaqueRgbExactlyWithItsProfile) {
    Surface picture = testing::PhotoLike(17, 9);
    const Bytes profile = testing::RgbDisplayProfile();
    picture.SetProfile(std::make_shared<const std::vector<std::uint8_t>>(profile));
    auto encoded = EncodePng(picture, EncodeOptions{});
    ASSERT_TRUE(encoded) << encoded.failure().detail;
    auto decoded = DecodePng(encoded.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, picture));
    EXPECT_FALSE(decoded.value().hasAlpha);
    ASSERT_TRUE(decoded.value().pixels.Profile());
    EXPECT_EQ(*decoded.value().pixels.Profile(), profile);
}

} // namespace
} // namespace zembra
