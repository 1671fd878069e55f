#include "imaging/codec.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <functional>
#include <tiffio.h>

namespace zembra {
namespace {

using testing::Pixels;

// TIFF files written with libtiff through a temporary file.
class TiffFile {
  public:
    TiffFile() : path_(dir_ / "test.tif"), tif_(TIFFOpen(path_.c_str(), "w")) {}
    // Starts a page of one strip with the given rows.
    void Page(int w, int samples, int bits, int photometric,
              std::vector<std::vector<std::uint8_t>> rows,
              const std::function<void(TIFF*)>& tags = nullptr) {
        TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, static_cast<int>(rows.size()));
        TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, static_cast<int>(rows.size()));
        if (tags)
            tags(tif_);
        for (std::size_t y = 0; y < rows.size(); ++y)
            TIFFWriteScanline(tif_, rows[y].data(), static_cast<std::uint32_t>(y), 0);
    }
    void NextPage() { TIFFWriteDirectory(tif_); }
    // Ends the file and returns its bytes.
    Bytes Finish() {
        TIFFClose(tif_);
        return testing::ReadFile(path_);
    }

  private:
    testing::TempDir dir_;
    std::string path_;
    TIFF* tif_;
};

TEST(Tiff, ReadsRgbBilevelPaletteAndAlphaPictures) {
    TiffFile rgb;
    rgb.Page(2, 3, 8, PHOTOMETRIC_RGB, {{255, 0, 0, 0, 0, 255}});
    EXPECT_TRUE(
        testing::DecodesTo(DecodeTiff, rgb.Finish(), Pixels(2, 1, {0xFFFF0000u, 0xFF0000FFu})));

    // Bilevel with 0 meaning white: bits 1 0 are black then white.
    TiffFile bilevel;
    bilevel.Page(2, 1, 1, PHOTOMETRIC_MINISWHITE, {{0b10000000}});
    EXPECT_TRUE(
        testing::DecodesTo(DecodeTiff, bilevel.Finish(), Pixels(2, 1, {0xFF000000u, 0xFFFFFFFFu})));

    TiffFile palette;
    palette.Page(2, 1, 8, PHOTOMETRIC_PALETTE, {{2, 1}}, [](TIFF* t) {
        std::vector<std::uint16_t> red(256, 0), green(256, 0), blue(256, 0);
        red[1] = blue[2] = 0xFFFF;
        TIFFSetField(t, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    });
    EXPECT_TRUE(
        testing::DecodesTo(DecodeTiff, palette.Finish(), Pixels(2, 1, {0xFF0000FFu, 0xFFFF0000u})));

    // Unassociated alpha comes back straight.
    TiffFile alpha;
    alpha.Page(1, 4, 8, PHOTOMETRIC_RGB, {{200, 100, 50, 128}}, [](TIFF* t) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    });
    auto decoded = DecodeTiff(alpha.Finish(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded.value().hasAlpha);
    // libtiff premultiplies on the way; undoing it may miss by one.
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Pixels(1, 1, {0x80C86432u}), 1));
}

TEST(Tiff, PagesCountAndEachCanBeRead) {
    TiffFile file;
    for (std::uint8_t level : {10, 200}) {
        file.Page(1, 1, 8, PHOTOMETRIC_MINISBLACK, {{level}});
        file.NextPage();
    }
    const Bytes bytes = file.Finish();
    EXPECT_EQ(TiffPageCount(bytes), 2);
    auto second = DecodeTiff(bytes, DecodeLimits{}, 1);
    ASSERT_TRUE(second);
    EXPECT_EQ(second.value().pixels.At(0, 0), 0xFFC8C8C8u);
    EXPECT_FALSE(DecodeTiff(bytes, DecodeLimits{}, 2));
}

TEST(Tiff, WritesLzwWithPredictorAndProfileThatReadBackExactly) {
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

    // Read the tags back with libtiff itself.
    testing::TempDir dir;
    TIFF* t = TIFFOpen(dir.Write("ours.tif", testing::AsText(encoded.value())).c_str(), "r");
    ASSERT_NE(t, nullptr);
    std::uint16_t compression = 0, predictor = 0;
    TIFFGetField(t, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(t, TIFFTAG_PREDICTOR, &predictor);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(predictor, PREDICTOR_HORIZONTAL);
    TIFFClose(t);
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
