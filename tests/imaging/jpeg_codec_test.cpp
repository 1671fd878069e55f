#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::JpegLayout;
using testing::WriteJpeg;

// 16 x 8 in two flat halves of whole blocks, so that JPEG keeps them nearly exact.
constexpr int kW = 16, kH = 8;

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

// Per pixel, the samples `left` on the left half and `right` on the right one.
std::vector<std::uint8_t> Halves(std::vector<std::uint8_t> left, std::vector<std::uint8_t> right) {
    std::vector<std::uint8_t> s;
    for (int i = 0; i < kW * kH; ++i)
        s.insert(s.end(), i % kW < kW / 2 ? left.begin() : right.begin(),
                 i % kW < kW / 2 ? left.end() : right.end());
    return s;
}

Surface Halves(std::uint32_t left, std::uint32_t right) {
    auto s = Surface::Create(kW, kH);
    for (int i = 0; i < kW * kH; ++i)
        s->Pixels()[std::size_t(i)] = i % kW < kW / 2 ? left : right;
    return std::move(*s);
}

TEST(Jpeg, EveryColourLayoutDecodesToItsColours) {
    // CMYK red is no cyan, full magenta and yellow, no black; blue is full cyan and
    // magenta. Adobe's files store each value inverted (255 = no ink), plain ones not.
    const auto rgb = testing::FakeProfile("RGB ");
    const JpegLayout plain{
        .input = JCS_CMYK, .adobeMarker = false, .icc = testing::FakeProfile("CMYK")};
    const struct {
        const char* name;
        JpegLayout layout;
        std::vector<std::uint8_t> left, right;
        std::uint32_t leftColour, rightColour;
    } cases[] = {
        {"baseline", {}, {255, 0, 0}, {0, 0, 255}, kRed, kBlue},
        {"progressive", {.progressive = true, .icc = rgb}, {255, 0, 0}, {0, 0, 255}, kRed, kBlue},
        {"greyscale", {.input = JCS_GRAYSCALE}, {40}, {200}, 0xFF282828u, 0xFFC8C8C8u},
        {"Adobe CMYK", {.input = JCS_CMYK}, {255, 0, 0, 255}, {0, 0, 255, 255}, kRed, kBlue},
        {"plain CMYK", plain, {0, 255, 255, 0}, {255, 255, 0, 0}, kRed, kBlue}};
    for (const auto& c : cases) {
        auto decoded =
            DecodeJpeg(WriteJpeg(c.layout, kW, kH, Halves(c.left, c.right)), DecodeLimits{}, 0);
        ASSERT_TRUE(decoded) << c.name << ": " << decoded.failure().detail;
        // Colour conversion through YCbCr costs RGB a few more levels.
        EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Halves(c.leftColour, c.rightColour),
                                        c.layout.input == JCS_RGB ? 6 : 3))
            << c.name;
        EXPECT_FALSE(decoded.value().hasAlpha) << c.name;
        EXPECT_EQ(decoded.value().pixelFormat == PixelFormat32bppCMYK, c.layout.input == JCS_CMYK)
            << c.name;
        // An RGB profile is kept; a CMYK one describes the inks, not the RGB pixels.
        const auto& profile = decoded.value().pixels.Profile();
        EXPECT_EQ(profile ? *profile : Bytes{}, c.layout.input == JCS_CMYK ? Bytes{} : c.layout.icc)
            << c.name;
    }
}

TEST(Jpeg, EncodesAtTheGivenQualityWithItsProfile) {
    Surface picture = testing::PhotoLike(64, 48);
    const auto profile = testing::FakeProfile("RGB ");
    picture.SetProfile(std::make_shared<const std::vector<std::uint8_t>>(profile));
    auto low = EncodeJpeg(picture, EncodeOptions{10});
    auto high = EncodeJpeg(picture, EncodeOptions{95});
    ASSERT_TRUE(low && high);
    EXPECT_LT(low.value().size() * 2, high.value().size());
    auto decoded = DecodeJpeg(high.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded.value().pixels.Width(), picture.Width());
    // The steep blue ripple blurs under 4:2:0 (about 5 on average); swapped or lost
    // channels would be off by tens.
    EXPECT_LT(testing::MeanError(decoded.value().pixels, picture), 8.0);
    ASSERT_TRUE(decoded.value().pixels.Profile());
    EXPECT_EQ(*decoded.value().pixels.Profile(), profile);
    // Qualities beyond the range are clamped rather than refused.
    EXPECT_TRUE(EncodeJpeg(picture, EncodeOptions{-4}));
    EXPECT_TRUE(EncodeJpeg(picture, EncodeOptions{140}));
}

} // namespace
} // namespace zembra
