// WebP and AVIF written and read back, HEIF brands told apart, and pictures
// turned upright by every EXIF Orientation value.
#include "imaging/codec.h"
#include "imaging/upright.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(NewFormats, LossyOutputsReadBackCloseWithTheirProfile) {
    Surface picture = testing::PhotoLike(64, 48);
    const auto icc = testing::FakeProfile("RGB ");
    picture.SetProfile(std::make_shared<const std::vector<std::uint8_t>>(icc));
    for (const auto encode : {EncodeWebp, EncodeAvif}) {
        const Bytes file = encode(picture, EncodeOptions{90}).value();
        const Codec* codec = DecoderFor(file);
        ASSERT_NE(codec, nullptr);
        const GpBitmap back = DecodePicture(file).value();
        EXPECT_EQ(back.pixels.Width(), 64) << codec->formatName;
        EXPECT_EQ(back.pixels.Height(), 48) << codec->formatName;
        EXPECT_FALSE(back.hasAlpha) << codec->formatName;
        EXPECT_LT(testing::MeanError(back.pixels, picture), 8.0) << codec->formatName;
        ASSERT_TRUE(back.pixels.Profile()) << codec->formatName;
        EXPECT_EQ(*back.pixels.Profile(), icc) << codec->formatName;
    }
}

TEST(NewFormats, HeifBrandsPickTheirCodec) {
    const auto ftyp = [](const char* major, const char* compatible) {
        Bytes b = {0, 0, 0, 20, 'f', 't', 'y', 'p'};
        b.insert(b.end(), major, major + 4);
        b.insert(b.end(), {0, 0, 0, 0});
        b.insert(b.end(), compatible, compatible + 4);
        return b;
    };
    const struct {
        Bytes bytes;
        const char* format; // empty: no codec
    } cases[] = {
        {ftyp("heic", "mif1"), "HEIF"}, {ftyp("mif1", "heic"), "HEIF"},
        {ftyp("avif", "mif1"), "AVIF"}, {ftyp("mif1", "avif"), "AVIF"},
        {ftyp("isom", "mp42"), ""},     {ftyp("qt  ", "qt  "), ""},
    };
    for (const auto& c : cases) {
        const Codec* codec = DecoderFor(c.bytes);
        EXPECT_EQ(codec ? codec->formatName : "", std::string_view(c.format)) << c.format;
    }
    EXPECT_FALSE(DecodePicture(ftyp("heic", "mif1"))); // a brand alone holds no picture
}

TEST(Upright, EveryOrientationMapsTheStoredCornersWhereTheyShow) {
    // 3 x 2, the pixels numbered in reading order; each row below is the upright
    // picture in reading order.
    const Surface stored = testing::Pixels(3, 2, {1, 2, 3, 4, 5, 6});
    const std::vector<std::uint32_t> upright[] = {
        {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}, {6, 5, 4, 3, 2, 1}, {4, 5, 6, 1, 2, 3},
        {1, 4, 2, 5, 3, 6}, {4, 1, 5, 2, 6, 3}, {6, 3, 5, 2, 4, 1}, {3, 6, 2, 5, 1, 4},
    };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Surface turned = TurnedUpright(stored, orientation);
        const bool swapped = orientation >= 5;
        ASSERT_EQ(turned.Width(), swapped ? 2 : 3) << orientation;
        const auto& want = upright[orientation - 1];
        EXPECT_EQ(std::vector<std::uint32_t>(turned.Pixels().begin(), turned.Pixels().end()), want)
            << orientation;
    }
}

TEST(Upright, RowsMatchTheWholePictureAndReportDamage) {
    struct Rows final : DecodedRows {
        Surface s = testing::PhotoLike(5, 3);
        SurfaceRows rows{s};
        int given = 0, most = 3;
        int Width() const override { return 5; }
        int Height() const override { return 3; }
        const ColorProfile& Profile() const override { return s.Profile(); }
        const std::uint32_t* Next() override { return given++ < most ? rows.Next() : nullptr; }
        std::optional<Failure> failure() const override {
            return given > most ? std::optional<Failure>(Failure{}) : std::nullopt;
        }
    };
    auto whole = TurnedUprightRows(std::make_unique<Rows>(), 6);
    ASSERT_EQ(whole->Width(), 3);
    const Surface collected = *CollectRows(*whole);
    EXPECT_TRUE(testing::SamePixels(collected, TurnedUpright(testing::PhotoLike(5, 3), 6)));
    EXPECT_FALSE(whole->failure());

    auto cut = std::make_unique<Rows>();
    cut->most = 2;
    auto damaged = TurnedUprightRows(std::move(cut), 8);
    EXPECT_EQ(damaged->Next(), nullptr);
    EXPECT_TRUE(damaged->failure());
}

} // namespace
} // namespace zembra
