#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::DecodesTo;
using testing::Pixels;

// Builds BMP files field by field, little endian.
struct BmpWriter {
    Bytes b;
    BmpWriter& u8(std::uint32_t v) {
        b.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    BmpWriter& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    BmpWriter& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    BmpWriter& bytes(std::initializer_list<std::uint8_t> v) {
        b.insert(b.end(), v);
        return *this;
    }
};

// File header plus a 40-byte info header (or a larger one whose extra fields,
// masks included, the caller appends).
BmpWriter Info(int w, int h, int bits, std::uint32_t compression, std::uint32_t colors,
               std::uint32_t headerSize = 40) {
    BmpWriter out;
    out.u16(0x4D42).u32(0).u32(0).u32(0).u32(headerSize);
    out.u32(static_cast<std::uint32_t>(w)).u32(static_cast<std::uint32_t>(h)).u16(1).u16(bits);
    out.u32(compression).u32(0).u32(0).u32(0).u32(colors).u32(0);
    return out;
}

constexpr std::uint32_t R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu,
                        K = 0xFF000000u;
// Palette: 0 black, 1 red, 2 green, 3 blue (B, G, R, reserved).
const std::initializer_list<std::uint8_t> kPalette = {0, 0,   0, 0, 0,   0, 255, 0,
                                                      0, 255, 0, 0, 255, 0, 0,   0};

TEST(Bmp, TwentyFourBitsRowOrderAndPadding) {
    // 3 x 2: rows of 9 bytes padded to 12, the bottom row first.
    auto f = Info(3, 2, 24, 0, 0);
    f.bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0});       // bottom: red green blue
    f.bytes({255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0}); // top: white black white
    EXPECT_TRUE(DecodesTo(DecodeBmp, f.b, Pixels(3, 2, {W, K, W, R, G, B})));
    // A negative height means top down.
    auto down = Info(1, -2, 24, 0, 0).bytes({0, 0, 255, 0}).bytes({255, 0, 0, 0});
    EXPECT_TRUE(DecodesTo(DecodeBmp, down.b, Pixels(1, 2, {R, B})));
}

TEST(Bmp, PaletteDepthsPackPixelsFromTheHighBit) {
    auto one = Info(3, 1, 1, 0, 2).bytes({0, 0, 0, 0, 0, 0, 255, 0}).bytes({0b10100000, 0, 0, 0});
    EXPECT_TRUE(DecodesTo(DecodeBmp, one.b, Pixels(3, 1, {R, K, R})));
    auto four = Info(3, 1, 4, 0, 4).bytes(kPalette).bytes({0x13, 0x20, 0, 0});
    EXPECT_TRUE(DecodesTo(DecodeBmp, four.b, Pixels(3, 1, {R, B, G})));

    // Index 9 is past the four entries: black, but the index itself is kept.
    auto eight = Info(3, 1, 8, 0, 4).bytes(kPalette).bytes({3, 9, 2, 0});
    auto decoded = DecodeBmp(eight.b, DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Pixels(3, 1, {B, K, G})));
    ASSERT_TRUE(decoded.value().indexed);
    EXPECT_EQ(decoded.value().indexed->indices, (std::vector<std::uint8_t>{3, 9, 2}));

    // The old core header has three-byte palette entries.
    BmpWriter core;
    core.u16(0x4D42).u32(0).u32(0).u32(14 + 12 + 6); // pixels after two palette entries
    core.u32(12).u16(2).u16(1).u16(1).u16(1).bytes({0, 0, 255, 255, 0, 0}); // red, blue
    core.bytes({0b10000000, 0, 0, 0});
    EXPECT_TRUE(DecodesTo(DecodeBmp, core.b, Pixels(2, 1, {B, R})));
}

TEST(Bmp, SixteenBitsDefaultTo555AndHonourBitFields) {
    // 0x7C00 is full red in 5-5-5; 0x07E0 full green in 5-6-5.
    auto plain = Info(2, 1, 16, 0, 0);
    plain.u16(0x7C00).u16(0x001F);
    EXPECT_TRUE(DecodesTo(DecodeBmp, plain.b, Pixels(2, 1, {R, B})));

    auto fields = Info(2, 1, 16, 3, 0);
    fields.u32(0xF800).u32(0x07E0).u32(0x001F);
    fields.u16(0x07E0).u16(0x0410); // full green; then green 32 of 63 and blue 16 of 31
    // Scaled to 8 bits and rounded: 32 * 255 / 63 = 129.5 -> 130, 16 * 255 / 31 = 131.6 -> 132.
    EXPECT_TRUE(DecodesTo(DecodeBmp, fields.b, Pixels(2, 1, {G, 0xFF008284u})));
}

TEST(Bmp, ThirtyTwoBitsUseAlphaOnlyWhenAMaskSaysSo) {
    auto plain = Info(1, 1, 32, 0, 0).bytes({255, 0, 0, 0}); // the fourth byte is not alpha
    EXPECT_TRUE(DecodesTo(DecodeBmp, plain.b, Pixels(1, 1, {B})));

    // A version 5 header (124 bytes) with an alpha mask.
    const auto v5 = [](int w) {
        auto f = Info(w, 1, 32, 3, 0, 124);
        f.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000);
        f.b.resize(14 + 124, 0);
        return f;
    };
    auto alpha = v5(2).bytes({0, 0, 255, 128}).bytes({0, 255, 0, 255});
    auto decoded = DecodeBmp(alpha.b, DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded.value().hasAlpha);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Pixels(2, 1, {0x80FF0000u, G})));
    // The same mask over alpha that is zero everywhere: taken as opaque.
    EXPECT_TRUE(DecodesTo(DecodeBmp, v5(1).bytes({0, 0, 255, 0}).b, Pixels(1, 1, {R})));
}

TEST(Bmp, RunLengthEightAndFour) {
    // 4 x 2, bottom row first: a run of 3 red, then a literal blue; end of line; a
    // move right by 2 (left transparent), then 2 green; end of bitmap.
    auto rle8 = Info(4, 2, 8, 1, 4).bytes(kPalette);
    rle8.bytes({3, 1, 0, 3, 3, 3, 3, 0, 0, 0, 0, 2, 2, 0, 2, 2, 0, 1});
    // The literal "3 3 3" starts at the last column: its other two fall off the row.
    EXPECT_TRUE(DecodesTo(DecodeBmp, rle8.b, Pixels(4, 2, {0, 0, G, G, R, R, R, B})));
    // RLE4: a run alternates the two nibbles.
    auto rle4 = Info(4, 1, 4, 2, 4).bytes(kPalette).bytes({4, 0x12, 0, 1});
    EXPECT_TRUE(DecodesTo(DecodeBmp, rle4.b, Pixels(4, 1, {R, G, R, G})));
}

TEST(Bmp, BrokenFilesFailCleanly) {
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"only magic", {'B', 'M'}},
        {"pixels cut short", Info(4, 4, 24, 0, 0).bytes({1, 2, 3}).b},
        {"huge width, tiny file", Info(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 0).b},
        {"no width", Info(0, 1, 24, 0, 0).bytes({0, 0, 0, 0}).b},
        {"palette cut short", Info(1, 1, 8, 0, 256).bytes({0, 0, 0, 0}).b},
        {"odd header size", Info(1, 1, 24, 0, 0, 20).bytes({0, 0, 0, 0}).b},
        {"bit fields on 24 bits", Info(1, 1, 24, 3, 0).u32(1).u32(2).u32(4).bytes({0, 0, 0, 0}).b},
        {"RLE without end", Info(2, 2, 8, 1, 2).bytes({0, 0, 0, 0, 9, 9, 9, 0}).bytes({2, 1}).b},
        {"RLE on wrong depth", Info(2, 1, 24, 1, 0).bytes({2, 1, 0, 1}).b}};
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(DecodeBmp(bytes, DecodeLimits{}, 0)) << name;
}

TEST(Bmp, WritesTwentyFourBitsBottomUp) {
    const Surface picture = testing::PhotoLike(5, 3);
    auto encoded = EncodeBmp(picture, EncodeOptions{});
    ASSERT_TRUE(encoded);
    const Bytes& b = encoded.value();
    // 54 bytes of headers, then rows of 15 bytes padded to 16.
    ASSERT_EQ(b.size(), 54u + 3 * 16);
    EXPECT_EQ(b[28], 24);
    // The first pixel stored is the bottom-left one, blue first.
    EXPECT_EQ(b[54], picture.At(0, 2) & 0xFF);
    EXPECT_EQ(b[56], (picture.At(0, 2) >> 16) & 0xFF);
    EXPECT_TRUE(DecodesTo(DecodeBmp, b, picture));
}

} // namespace
} // namespace zembra
