#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::JpegLayout;
using testing::WriteJpeg;

// 16 x 8: a red half and a blue half, flat so that JPEG keeps them nearly exact.
constexpr int kW = 16, kH = 8;
constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

std::vector<std::uint8_t> HalvesRgb() {
    std::vector<std::uint8_t> s;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool red = x < kW / 2;
            s.insert(s.end(), {static_cast<std::uint8_t>(red ? 255 : 0), 0,
                               static_cast<std::uint8_t>(red ? 0 : 255)});
        }
    return s;
}

Surface Halves() {
    auto s = Surface::Create(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            s->Row(y)[static_cast<std::size_t>(x)] = x < kW / 2 ? kRed : kBlue;
    return std::move(*s);
}

TEST(Jpeg, BaselineAndProgressiveDecodeAlike) {
    for (bool progressive : {false, true}) {
        JpegLayout layout;
        layout.progressive = progressive;
        auto decoded = DecodeJpeg(WriteJpeg(layout, kW, kH, HalvesRgb()), DecodeLimits{}, 0);
        ASSERT_TRUE(decoded) << decoded.failure().detail;
        EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Halves(), 6))
            << "progressive " << progressive;
        EXPECT_FALSE(decoded.value().hasAlpha);
    }
}

TEST(Jpeg, GreyscaleBecomesEqualChannels) {
    std::vector<std::uint8_t> samples(kW * kH);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = i < samples.size() / 2 ? 40 : 200;
    JpegLayout layout;
    layout.input = JCS_GRAYSCALE;
    auto decoded = DecodeJpeg(WriteJpeg(layout, kW, kH, samples), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    const std::uint32_t top = decoded.value().pixels.At(3, 1);
    EXPECT_EQ(top >> 24, 0xFFu);
    EXPECT_EQ((top >> 16) & 0xFF, top & 0xFF);
    EXPECT_NEAR(static_cast<int>(top & 0xFF), 40, 3);
    EXPECT_NEAR(static_cast<int>(decoded.value().pixels.At(3, 6) & 0xFF), 200, 3);
}

TEST(Jpeg, CmykWithAndWithoutAdobeInversionBothShowRed) {
    // Red is no cyan, full magenta and yellow, no black. Adobe's files store each
    // value inverted (255 = no ink); plain CMYK files do not.
    for (bool adobe : {true, false}) {
        std::vector<std::uint8_t> samples;
        for (int i = 0; i < kW * kH; ++i) {
            const std::uint8_t ink[4] = {0, 255, 255, 0};
            for (std::uint8_t v : ink)
                samples.push_back(adobe ? static_cast<std::uint8_t>(255 - v) : v);
        }
        JpegLayout layout;
        layout.input = JCS_CMYK;
        layout.adobeMarker = adobe;
        auto decoded = DecodeJpeg(WriteJpeg(layout, kW, kH, samples), DecodeLimits{}, 0);
        ASSERT_TRUE(decoded) << decoded.failure().detail;
        EXPECT_EQ(decoded.value().pixelFormat, PixelFormat32bppCMYK);
        auto red = Surface::Create(kW, kH, kRed);
        EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, *red, 3))
            << "Adobe marker " << adobe;
    }
}

TEST(Jpeg, KeepsAnRgbProfileAndDropsOthers) {
    JpegLayout layout;
    layout.icc = testing::FakeProfile("RGB ");
    auto rgb = DecodeJpeg(WriteJpeg(layout, kW, kH, HalvesRgb()), DecodeLimits{}, 0);
    ASSERT_TRUE(rgb);
    ASSERT_TRUE(rgb.value().pixels.Profile());
    EXPECT_EQ(*rgb.value().pixels.Profile(), layout.icc);

    // A CMYK profile describes the inks, not the RGB pixels they become.
    JpegLayout cmyk;
    cmyk.input = JCS_CMYK;
    cmyk.icc = testing::FakeProfile("CMYK");
    auto decoded = DecodeJpeg(WriteJpeg(cmyk, kW, kH, std::vector<std::uint8_t>(kW * kH * 4, 128)),
                              DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded.value().pixels.Profile());
}

TEST(Jpeg, EncodesAtTheGivenQualityWithItsProfile) {
    Surface picture = testing::PhotoLike(64, 48);
    const auto profile = testing::FakeProfile("RGB ");
    picture.SetProfile(std::make_shared<const std::vector<std::uint8_t>>(profile));
    auto low = EncodeJpeg(picture, EncodeOptions{10});
    auto high = EncodeJpeg(picture, EncodeOptions{95});
    ASSERT_TRUE(low);
    ASSERT_TRUE(high);
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

TEST(Jpeg, SubsamplesChromaTwoByTwo) {
    auto encoded = EncodeJpeg(testing::PhotoLike(32, 32), EncodeOptions{75});
    ASSERT_TRUE(encoded);
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, encoded.value().data(), encoded.value().size());
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    EXPECT_EQ(d.comp_info[0].h_samp_factor, 2);
    EXPECT_EQ(d.comp_info[0].v_samp_factor, 2);
    EXPECT_EQ(d.comp_info[1].h_samp_factor, 1);
    jpeg_destroy_decompress(&d);
}

TEST(Jpeg, EndingEarlyIsAFailureNotAGreyBand) {
    const Bytes whole = WriteJpeg(JpegLayout{}, kW, kH, HalvesRgb());
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() - 20));
    auto decoded = DecodeJpeg(cut, DecodeLimits{}, 0);
    ASSERT_FALSE(decoded);
    EXPECT_NE(decoded.failure().detail.find("Premature end"), std::string::npos)
        << decoded.failure().detail;
}

} // namespace
} // namespace zembra
