#include "imaging/gdiplus.h"

#include "imaging/codec.h"
#include "platform/form.h"
#include "platform/resample.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zembra {
namespace {

using testing::ReadFile;

class GdiPlusTest : public ::testing::Test {
  protected:
    GdiPlusTest() {
        box.setAutoSize(true);
        box.setPicture(std::make_shared<Surface>(testing::PhotoLike(40, 30)));
    }
    std::vector<ImagingError> errors;
    cGdiPlus gdip{[this](const ImagingError& e) { errors.push_back(e); }};
    testing::TempDir dir;
    Form form{"Form1"};
    PictureBox box{form, "Picture2"};
};

// Failed writes are checked end to end with the resize actions.
TEST_F(GdiPlusTest, MissingUnknownAndDamagedFilesAndEmptyBoxesAreReportedNotFatal) {
    EXPECT_EQ(gdip.FilenameToIPicture(dir / "missing.jpg"), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Write("notes.jpg", "just text")), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Write("cut.png", "\x89PNG\r\n\x1a\n\0\0")), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Path()), nullptr); // a folder
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].lGdiError, 10);
    EXPECT_EQ(errors[0].sErrorDesc, "File Not Found");
    EXPECT_EQ(errors[1].lGdiError, static_cast<int>(GpStatus::UnknownImageFormat));
    EXPECT_EQ(errors[2].lGdiError, static_cast<int>(GpStatus::GenericError));
    EXPECT_NE(errors[2].Text().find("PNG"), std::string::npos) << errors[2].Text();
    EXPECT_EQ(errors[3].lGdiError, static_cast<int>(GpStatus::Win32Error));

    PictureBox empty(form, "Picture9");
    EXPECT_EQ(gdip.PictureBoxToFile(empty, dir / "empty.png"), 0);
    ASSERT_EQ(errors.size(), 5u);
    EXPECT_EQ(errors[4].lGdiError, static_cast<int>(GpStatus::InvalidParameter));
}

TEST_F(GdiPlusTest, TransparentPartsLoadBlack) {
    const Bytes png = testing::WritePng({.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA},
                                        {255, 255, 255, 0, 200, 100, 50, 255});
    // Also named .gif: the content decides the decoder, not the name.
    for (const char* name : {"logo.png", "logo.gif"}) {
        auto picture =
            gdip.FilenameToIPicture(dir.Write(name, std::string(png.begin(), png.end())));
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(ColorFromPixel(picture->At(0, 0)), RGB(0, 0, 0));
        EXPECT_EQ(ColorFromPixel(picture->At(1, 0)), RGB(200, 100, 50));
    }
}

TEST_F(GdiPlusTest, SavingPicksTheEncoderByExtensionAndPassesQualityToLossyFormats) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {".jpg", "JPEG", true},   {".JPEG", "JPEG", true},    {".jfif", "JPEG", true},
        {".jpe", "JPEG", true},   {".png", "PNG", false},     {".gif", "GIF", false},
        {".bmp", "BMP", false},   {".Dib", "BMP", false},     {".tif", "TIFF", false},
        {".tiff", "TIFF", false}, {".gif.png", "PNG", false}, // the last dot counts
        {".webp", "WEBP", true},  {".AVIF", "AVIF", true}};
    for (const auto& [extension, format, usesQuality] : cases) {
        const std::string low = dir / ("low" + std::string(extension)),
                          high = dir / ("high" + std::string(extension));
        ASSERT_EQ(gdip.PictureBoxToFile(box, low, 5), -1) << extension;
        ASSERT_EQ(gdip.PictureBoxToFile(box, high, 100), -1) << extension;
        const Codec* codec = DecoderFor(ReadFile(low));
        ASSERT_NE(codec, nullptr) << extension;
        EXPECT_EQ(codec->formatName, format);
        if (usesQuality)
            EXPECT_LT(ReadFile(low).size(), ReadFile(high).size()) << extension;
        else
            EXPECT_EQ(ReadFile(low), ReadFile(high)) << extension;
    }
    // Names without a known extension (or one only read) write nothing, silently.
    for (const std::string& name :
         {dir / "noext", dir.Path() + "/folder.jpg/noext", dir / "a.heic", dir / "a.png."}) {
        EXPECT_EQ(gdip.PictureBoxToFile(box, name, 80), 0) << name;
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
    }
    EXPECT_TRUE(errors.empty());
}

// [SECTION] Resizing row by row must write the very file that loading the picture
// whole, stretching it into a picture box and saving the box writes.

// Values that differ from each neighbour, so that a pixel taken from the wrong row
// or column shows. The 8-bit writers keep the low byte of each, which is such noise too.
std::vector<std::uint32_t> Noise(int count, std::uint32_t seed) {
    std::vector<std::uint32_t> values(static_cast<std::size_t>(count));
    for (auto& v : values) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        v = seed;
    }
    return values;
}

Surface NoisyPicture(int w, int h) {
    auto pixels = Noise(w * h, 7);
    for (auto& p : pixels)
        p |= 0xFF000000u;
    return testing::Pixels(w, h, pixels);
}

// Enough samples for any colour layout; the writer takes what it needs.
Bytes Jpeg(testing::JpegLayout layout, int w, int h) {
    const auto noise = Noise(w * h * 4, 11);
    return testing::WriteJpeg(layout, w, h, {noise.begin(), noise.end()});
}

std::vector<std::pair<std::string, Bytes>> Sources() {
    return {
        // Our own encoder's 4:2:0, whose rows are upsampled from their neighbours.
        {"subsampled.jpg", EncodeJpeg(NoisyPicture(53, 37), {90}).value()},
        // Tall enough that whole groups of rows are skipped when it shrinks.
        {"tall.jpg", EncodeJpeg(NoisyPicture(29, 331), {90}).value()},
        {"progressive.jpg", Jpeg({.progressive = true}, 45, 31)},
        {"cmyk.jpg", Jpeg({.input = JCS_CMYK}, 23, 19)},
        {"grey.jpg", Jpeg({.input = JCS_GRAYSCALE}, 31, 17)},
        // Other formats are decoded whole, then handed out row by row.
        {"alpha.png",
         testing::WritePng({.width = 21, .height = 13, .colorType = PNG_COLOR_TYPE_RGBA},
                           Noise(21 * 13 * 4, 3))},
    };
}

TEST_F(GdiPlusTest, RowsWriteTheSameFileAsTheWholePictureUnlessAJpegIsShrunkWhileDecoding) {
    box.setAutoSize(false);
    box.setBorderStyle(PictureBox::vbBSNone);
    box.setAutoRedraw(true);
    for (const auto& [name, bytes] : Sources()) {
        const std::string path = dir / name;
        ASSERT_TRUE(Files::Local().WriteAll(path, bytes));
        const PictureRef whole = gdip.FilenameToIPicture(path);
        ASSERT_TRUE(whole) << name;
        const int w = whole->Width(), h = whole->Height();
        // Halves, odd factors, a single pixel, distortions and enlargements.
        const std::pair<int, int> sizes[] = {
            {w / 2, h / 2}, {w * 3 / 10, h * 7 / 11},   {1, 1},
            {w / 3, h * 2}, {w * 5 / 2 + 1, h * 3 / 2}, {2, h / 40 + 1}};
        for (const auto& [tw, th] : sizes) {
            box.setPicture(nullptr);
            box.setWidth(tw * kTwipsPerPixel);
            box.setHeight(th * kTwipsPerPixel);
            box.PaintPicture(whole, 0, 0, box.ScaleWidth(), box.ScaleHeight());
            box.setPicture(box.Image());
            const bool reduced =
                name.ends_with(".jpg") &&
                JpegScaleEighths(w, h, ShrinkOnLoadSide(tw), ShrinkOnLoadSide(th)) < 8;
            for (const std::string ext : {".jpg", ".png", ".bmp", ".gif", ".tif"}) {
                const std::string at =
                    name + " at " + std::to_string(tw) + "x" + std::to_string(th) + " to " + ext;
                ASSERT_EQ(gdip.PictureBoxToFile(box, dir / ("whole" + ext), 75), -1) << at;
                const auto rows = gdip.FilenameToRows(path);
                ASSERT_TRUE(rows) << at;
                ASSERT_EQ(gdip.RowsToFile(*rows, tw, th, dir / ("rows" + ext), 75), -1) << at;
                if (!reduced) {
                    ASSERT_EQ(ReadFile(dir / ("rows" + ext)), ReadFile(dir / ("whole" + ext)))
                        << at;
                } else if (ext == ".png") {
                    // Rows of a JPEG shrunk while decoding: near, not equal, to the
                    // full decode filtered.
                    const auto a = DecodePicture(ReadFile(dir / "rows.png"));
                    const auto b = DecodePicture(ReadFile(dir / "whole.png"));
                    ASSERT_TRUE(a && b) << at;
                    EXPECT_LT(testing::MeanError(a.value().pixels, b.value().pixels), 6.0) << at;
                }
                // Fresh names next time: a file that replaces another is synced.
                Files::Local().Remove(dir / ("rows" + ext));
                Files::Local().Remove(dir / ("whole" + ext));
            }
        }
    }
}

// A file cut short fails as it does when read whole, even when the rows it lacks
// are below the last one a small target samples; nothing is written. A damaged
// header fails at once.
TEST_F(GdiPlusTest, DamagedFilesFailRowByRowWithTheWholeDecodersMessage) {
    const std::string header = dir.Write("header.jpg", "\xFF\xD8\xFF\xE0 not a header");
    EXPECT_EQ(gdip.FilenameToIPicture(header), nullptr);
    EXPECT_EQ(gdip.FilenameToRows(header), nullptr);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].Text(), errors[0].Text());
    errors.clear();
    Files::Local().Remove(header);

    Bytes bytes = EncodeJpeg(NoisyPicture(40, 400), {90}).value();
    bytes.resize(bytes.size() * 9 / 10);
    const std::string path = dir / "cut.jpg";
    ASSERT_TRUE(Files::Local().WriteAll(path, bytes));
    EXPECT_EQ(gdip.FilenameToIPicture(path), nullptr);
    const auto rows = gdip.FilenameToRows(path);
    ASSERT_TRUE(rows);
    EXPECT_EQ(gdip.RowsToFile(*rows, 4, 3, dir / "small.png"), 0);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].Text(), errors[0].Text());
    EXPECT_EQ(dir.Listing(), "cut.jpg");
}

} // namespace
} // namespace zembra
