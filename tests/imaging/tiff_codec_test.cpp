#include "imaging/codec.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <functional>
#include <tiffio.h>

namespace zembra {
namespace {

using testing::Pixels;

// A one-page, one-strip TIFF of the given rows, written by libtiff.
Bytes WriteTiff(int w, int samples, int bits, int photometric,
                const std::vector<std::vector<std::uint8_t>>& rows,
                const std::function<void(TIFF*)>& tags = nullptr) {
    testing::TempDir dir;
    const std::string path = dir / "test.tif";
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<int>(rows.size()));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<int>(rows.size()));
    if (tags)
        tags(tif);
    for (std::size_t y = 0; y < rows.size(); ++y)
        TIFFWriteScanline(tif, const_cast<std::uint8_t*>(rows[y].data()),
                          static_cast<std::uint32_t>(y), 0);
    TIFFClose(tif);
    return testing::ReadFile(path);
}

TEST(Tiff, ReadsRgbBilevelPaletteAndAlphaPictures) {
    EXPECT_TRUE(testing::DecodesTo(DecodeTiff,
                                   WriteTiff(2, 3, 8, PHOTOMETRIC_RGB, {{255, 0, 0, 0, 0, 255}}),
                                   Pixels(2, 1, {0xFFFF0000u, 0xFF0000FFu})));

    // Bilevel with 0 meaning white: bits 1 0 are black then white.
    EXPECT_TRUE(testing::DecodesTo(DecodeTiff,
                                   WriteTiff(2, 1, 1, PHOTOMETRIC_MINISWHITE, {{0b10000000}}),
                                   Pixels(2, 1, {0xFF000000u, 0xFFFFFFFFu})));

    const Bytes palette = WriteTiff(2, 1, 8, PHOTOMETRIC_PALETTE, {{2, 1}}, [](TIFF* t) {
        std::vector<std::uint16_t> red(256, 0), green(256, 0), blue(256, 0);
        red[1] = blue[2] = 0xFFFF;
        TIFFSetField(t, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    });
    EXPECT_TRUE(testing::DecodesTo(DecodeTiff, palette, Pixels(2, 1, {0xFF0000FFu, 0xFFFF0000u})));

    // Unassociated alpha comes back straight.
    const Bytes alpha = WriteTiff(1, 4, 8, PHOTOMETRIC_RGB, {{200, 100, 50, 128}}, [](TIFF* t) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    });
    auto decoded = DecodeTiff(alpha, DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded.value().hasAlpha);
    // libtiff premultiplies on the way; undoing it may miss by one.
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Pixels(1, 1, {0x80C86432u}), 1));
}

TEST(Tiff, WritesPicturesAndProfilesThatReadBackExactly) {
    Surface picture = testing::PhotoLike(33, 7);
    const auto profile = testing::FakeProfile("RGB ");
    picture.SetProfile(std::make_shared<const std::vector<std::uint8_t>>(profile));
    auto encoded = EncodeTiff(picture, EncodeOptions{});
    ASSERT_TRUE(encoded) << encoded.failure().detail;
    auto decoded = DecodeTiff(encoded.value(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded) << decoded.failure().detail;
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, picture));
    ASSERT_TRUE(decoded.value().pixels.Profile());
    EXPECT_EQ(*decoded.value().pixels.Profile(), profile);
}

TEST(Tiff, DamagedFilesFailWithLibtiffsMessageNotOnStderr) {
    auto encoded = EncodeTiff(testing::PhotoLike(40, 40), EncodeOptions{});
    ASSERT_TRUE(encoded);
    ::testing::internal::CaptureStderr();
    auto decoded = DecodeTiff(Bytes(encoded.value().begin(), encoded.value().begin() + 200),
                              DecodeLimits{}, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_FALSE(decoded);
    EXPECT_NE(decoded.failure().detail.find("TIFF"), std::string::npos);
}

} // namespace
} // namespace zembra
