// Resizing row by row must write the very file that loading the picture whole,
// stretching it into a picture box and saving the box writes.
#include "imaging/gdiplus.h"

#include "imaging/codec.h"
#include "platform/form.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

using testing::ReadFile;

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
    const Surface odd = NoisyPicture(53, 37);
    return {
        // Our own encoder's 4:2:0, whose rows are upsampled from their neighbours.
        {"subsampled.jpg", EncodeJpeg(odd, {90}).value()},
        // Tall enough that whole groups of rows are skipped when it shrinks.
        {"tall.jpg", EncodeJpeg(NoisyPicture(29, 331), {90}).value()},
        {"progressive.jpg", Jpeg({.progressive = true}, 45, 31)},
        {"cmyk.jpg", Jpeg({.input = JCS_CMYK}, 23, 19)},
        {"grey.jpg", Jpeg({.input = JCS_GRAYSCALE}, 31, 17)},
        {"alpha.png",
         testing::WritePng({.width = 21, .height = 13, .colorType = PNG_COLOR_TYPE_RGBA},
                           Noise(21 * 13 * 4, 3))},
        {"odd.bmp", EncodeBmp(odd, {}).value()},
        {"odd.gif", EncodeGif(odd, {}).value()},
        {"odd.tif", EncodeTiff(odd, {}).value()},
    };
}

TEST(ResizeRows, WriteTheSameFileAsTheWholePictureForEveryFormatAndSize) {
    testing::TempDir dir;
    cGdiPlus gdip;
    Form form{"Form1"};
    PictureBox box{form, "Picture2"};
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
            for (const std::string ext : {".jpg", ".png", ".bmp", ".gif", ".tif"}) {
                const std::string at =
                    name + " at " + std::to_string(tw) + "x" + std::to_string(th) + " to " + ext;
                ASSERT_EQ(gdip.PictureBoxToFile(box, dir / ("whole" + ext), 75), -1) << at;
                const auto rows = gdip.FilenameToRows(path);
                ASSERT_TRUE(rows) << at;
                ASSERT_EQ(gdip.RowsToFile(*rows, tw, th, dir / ("rows" + ext), 75), -1) << at;
                ASSERT_EQ(ReadFile(dir / ("rows" + ext)), ReadFile(dir / ("whole" + ext))) << at;
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
TEST(ResizeRows, DamagedFilesFailWithTheWholeDecodersMessage) {
    testing::TempDir dir;
    std::vector<ImagingError> errors;
    cGdiPlus gdip([&](const ImagingError& e) { errors.push_back(e); });
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
