#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::JpegLayout;
using testing::WriteJpeg;

// 16 x 8: a red half and a blue half, flat so that JPEG keeps them nearly exact.
constexpr int kW = 16, kH = 8;

// The samples of the halves for libjpeg, and the pixels they stand for.
std::vector<std::uint8_t> HalvesRgb() {
    std::vector<std::uint8_t> s;
    for (int i = 0; i < kW * kH; ++i)
        s.insert(s.end(), {std::uint8_t(i % kW < kW / 2 ? 255 : 0), 0,
                           std::uint8_t(i % kW < kW / 2 ? 0 : 255)});
    return s;
}

Surface Halves() {
    auto s = Surface::Create(kW, kH);
    for (int i = 0; i < kW * kH; ++i)
        s->Pixels()[std::size_t(i)] = i % kW < kW / 2 ? 0xFFFF0000u : 0xFF0000FFu;
    return std::move(*s);
}

TEST(Jpeg, BaselineAndProgressiveDecodeAlike) {
    for (bool progressive : {false, true}) {
        auto decoded = DecodeJpeg(WriteJpeg({.progressive = progressive}, kW, kH, HalvesRgb()),
                                  DecodeLimits{}, 0);
        ASSERT_TRUE(decoded) << decoded.failure().detail;
        EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Halves(), 6))
            << "progressive " << progressive;
        EXPECT_FALSE(decoded.value().hasAlpha);
    }
}

TEST(Jpeg, GreyscaleBecomesEqualChannels) {
    std::vector<std::uint8_t> samples(kW * kH, 200);
    std::fill_n(samples.begin(), kW * kH / 2, 40);
    auto grey = Surface::Create(kW, kH, 0xFFC8C8C8u);
    std::fill_n(grey->Pixels().begin(), kW * kH / 2, 0xFF282828u);
    auto decoded =
        DecodeJpeg(WriteJpeg({.input = JCS_GRAYSCALE}, kW, kH, samples), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, *grey, 3));
    for (std::uint32_t p : decoded.value().pixels.Pixels())
        ASSERT_TRUE((p >> 16 & 0xFF) == (p & 0xFF) && (p >> 8 & 0xFF) == (p & 0xFF))
            << std::hex << p;
}

TEST(Jpeg, CmykWithAndWithoutAdobeInversionBothShowRed) {
    // Red is no cyan, full magenta and yellow, no black. Adobe's files store each
    // value inverted (255 = no ink); plain CMYK files do not.
    for (bool adobe : {true, false}) {
        std::vector<std::uint8_t> samples;
        for (int i = 0; i < kW * kH; ++i)
            for (std::uint8_t v : {0, 255, 255, 0})
                samples.push_back(adobe ? static_cast<std::uint8_t>(255 - v) : v);
        auto decoded =
            DecodeJpeg(WriteJpeg({.input = JCS_CMYK, .adobeMarker = adobe}, kW, kH, samples),
                       DecodeLimits{}, 0);
        ASSERT_TRUE(decoded) << decoded.failure().detail;
        EXPECT_EQ(decoded.value().pixelFormat, PixelFormat32bppCMYK);
        EXPECT_TRUE(
            testing::SamePixels(decoded.value().pixels, *Surface::Create(kW, kH, 0xFFFF0000u), 3))
            << "Adobe marker " << adobe;
    }
}

TEST(Jpeg, KeepsAnRgbProfileAndDropsOthers) {
    const JpegLayout layout{.icc = testing::FakeProfile("RGB ")};
    auto rgb = DecodeJpeg(WriteJpeg(layout, kW, kH, HalvesRgb()), DecodeLimits{}, 0);
    ASSERT_TRUE(rgb && rgb.value().pixels.Profile());
    EXPECT_EQ(*rgb.value().pixels.Profile(), layout.icc);
    // A CMYK profile describes the inks, not the RGB pixels they become.
    const JpegLayout cmyk{.input = JCS_CMYK, .icc = testing::FakeProfile("CMYK")};
    auto decoded = DecodeJpeg(WriteJpeg(cmyk, kW, kH, std::vector<std::uint8_t>(kW * kH * 4, 128)),
                              DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded.value().pixels.Profile());
}

TEST(Jpeg, EncodesAtTheGivenQualityInFourTwoZeroWithItsProfile) {
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

    // Luma at full size, chroma halved both ways.
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, low.value().data(), low.value().size());
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    EXPECT_EQ(d.comp_info[0].h_samp_factor, 2);
    EXPECT_EQ(d.comp_info[0].v_samp_factor, 2);
    EXPECT_EQ(d.comp_info[1].h_samp_factor, 1);
    jpeg_destroy_decompress(&d);
}

TEST(Jpeg, EndingEarlyIsAFailureNotAGreyBand) {
    const Bytes whole = WriteJpeg(JpegLayout{}, kW, kH, HalvesRgb());
    auto decoded = DecodeJpeg(Bytes(whole.begin(), whole.end() - 20), DecodeLimits{}, 0);
    ASSERT_FALSE(decoded);
    EXPECT_NE(decoded.failure().detail.find("Premature end"), std::string::npos)
        << decoded.failure().detail;
}

} // namespace
} // namespace zembra
