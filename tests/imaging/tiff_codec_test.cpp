#include "imaging/codec.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tiffio.h>

namespace zembra {
namespace {

// TIFF files written with libtiff through a temporary file.
class TiffFile {
  public:
    TiffFile() : path_(dir_ / "test.tif") { tif_ = TIFFOpen(path_.c_str(), "w"); }
    TIFF* operator->() const { return tif_; }
    TIFF* get() const { return tif_; }
    // Ends the file and returns its bytes.
    Bytes Finish() {
        TIFFClose(tif_);
        Bytes out;
        if (std::FILE* f = std::fopen(path_.c_str(), "rb")) {
            int c;
            while ((c = std::fgetc(f)) != EOF)
                out.push_back(static_cast<std::uint8_t>(c));
            std::fclose(f);
        }
        return out;
    }

  private:
    testing::TempDir dir_;
    std::string path_;
    TIFF* tif_;
};

void Header(TIFF* t, int w, int h, int samples, int bits, int photometric) {
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, h);
}

void Rows(TIFF* t, const std::vector<std::vector<std::uint8_t>>& rows) {
    for (std::size_t y = 0; y < rows.size(); ++y)
        TIFFWriteScanline(t, const_cast<std::uint8_t*>(rows[y].data()),
                          static_cast<std::uint32_t>(y), 0);
}

Surface Expect(int w, int h, std::vector<std::uint32_t> pixels) {
    auto s = Surface::Create(w, h);
    std::copy(pixels.begin(), pixels.end(), s->Pixels().begin());
    return std::move(*s);
}

TEST(Tiff, ReadsRgbGreyBilevelAndPalettePictures) {
    TiffFile rgb;
    Header(rgb.get(), 2, 1, 3, 8, PHOTOMETRIC_RGB);
    Rows(rgb.get(), {{255, 0, 0, 0, 0, 255}});
    auto a = DecodeTiff(rgb.Finish(), DecodeLimits{}, 0);
    ASSERT_TRUE(a) << a.failure().detail;
    EXPECT_TRUE(testing::SamePixels(a.value().pixels, Expect(2, 1, {0xFFFF0000u, 0xFF0000FFu})));

    // Bilevel with 0 meaning white: bits 1 0 are black then white.
    TiffFile bilevel;
    Header(bilevel.get(), 2, 1, 1, 1, PHOTOMETRIC_MINISWHITE);
    Rows(bilevel.get(), {{0b10000000}});
    auto b = DecodeTiff(bilevel.Finish(), DecodeLimits{}, 0);
    ASSERT_TRUE(b);
    EXPECT_TRUE(testing::SamePixels(b.value().pixels, Expect(2, 1, {0xFF000000u, 0xFFFFFFFFu})));

    TiffFile palette;
    Header(palette.get(), 2, 1, 1, 8, PHOTOMETRIC_PALETTE);
    std::vector<std::uint16_t> red(256, 0), green(256, 0), blue(256, 0);
    red[1] = 0xFFFF;
    blue[2] = 0xFFFF;
    TIFFSetField(palette.get(), TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    Rows(palette.get(), {{2, 1}});
    auto c = DecodeTiff(palette.Finish(), DecodeLimits{}, 0);
    ASSERT_TRUE(c);
    EXPECT_TRUE(testing::SamePixels(c.value().pixels, Expect(2, 1, {0xFF0000FFu, 0xFFFF0000u})));
}

TEST(Tiff, UnassociatedAlphaComesBackStraight) {
    TiffFile file;
    Header(file.get(), 1, 1, 4, 8, PHOTOMETRIC_RGB);
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(file.get(), TIFFTAG_EXTRASAMPLES, 1, extra);
    Rows(file.get(), {{200, 100, 50, 128}});
    auto decoded = DecodeTiff(file.Finish(), DecodeLimits{}, 0);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded.value().hasAlpha);
    // libtiff premultiplies on the way; undoing it may miss by one.
    EXPECT_TRUE(testing::SamePixels(decoded.value().pixels, Expect(1, 1, {0x80C86432u}), 1));
}

TEST(Tiff, PagesCountAndEachCanBeRead) {
    TiffFile file;
    for (std::uint8_t level : {10, 200}) {
        Header(file.get(), 1, 1, 1, 8, PHOTOMETRIC_MINISBLACK);
        Rows(file.get(), {{level}});
        TIFFWriteDirectory(file.get());
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
    const std::string path = dir / "ours.tif";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(encoded.value().data(), 1, encoded.value().size(), f);
        std::fclose(f);
    }
    TIFF* t = TIFFOpen(path.c_str(), "r");
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
    Bytes cut(encoded.value().begin(), encoded.value().begin() + 200);
    ::testing::internal::CaptureStderr();
    auto decoded = DecodeTiff(cut, DecodeLimits{}, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_FALSE(decoded);
    EXPECT_NE(decoded.failure().detail.find("TIFF"), std::string::npos);
}

} // namespace
} // namespace zembra
