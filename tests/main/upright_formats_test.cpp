// Pictures turned upright by their EXIF Orientation, WebP and AVIF outputs that
// carry the EXIF block, JPEG files whose XMP segments come before it, and a
// phone's HEIC with its Exif item.
#include "exif/container_exif.h"
#include "exif/exif_test_support.h"
#include "exif/upright_block.h"
#include "form_fixture.h"
#include "imaging/codec.h"
#include "support/heic_writer.h"

#include <filesystem>

namespace zembra::testing {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kWhite = 0xFFFFFFFFu;

// A big-endian EXIF block: IFD0 with Orientation and the Exif directory (date
// taken, pixel sizes 400 x 300), then a thumbnail directory linked after IFD0.
Bytes ExifBlock(int orientation) {
    TiffBuilder t(ByteOrder::Big);
    const auto short16 = [&t](int v) { return t.Field16(static_cast<std::uint16_t>(v)); };
    const std::uint32_t ifd0 =
        t.Directory({{274, 3, 1, short16(orientation)}, {0x8769, 4, 1, t.Field32(0)}});
    t.Patch32(ifd0 + 2 + 12 + 8,
              t.Directory({{0x9003, 2, 20, ToBytes(std::string("2021:05:06 07:08:09") + '\0')},
                           {0xA002, 4, 1, t.Field32(400)},
                           {0xA003, 4, 1, t.Field32(300)}}));
    t.Patch32(ifd0 + 2 + 2 * 12, t.Directory({{0x0103, 3, 1, short16(6)}}));
    return t.Tiff();
}

// A 400 x 300 white picture whose top-left 100 x 50 corner is red.
Surface RedCorner() {
    auto picture = *Surface::Create(400, 300, kWhite);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            picture.Row(y)[static_cast<std::size_t>(x)] = kRed;
    return picture;
}

// That picture as a JPEG stored with the given Orientation; `xmpBytes` of XMP come first, in APP1
// segments of at most 64 KiB as editors write them.
Bytes MarkedJpeg(int orientation, std::size_t xmpBytes = 0) {
    Bytes jpeg = EncodeJpeg(RedCorner(), EncodeOptions{95}).value();
    Bytes segments;
    const std::string mark = std::string("http://ns.adobe.com/xap/1.0/") + '\0';
    for (std::size_t left = xmpBytes; left > 0;) {
        const std::size_t part = std::min<std::size_t>(left, 0xFFFF - 2 - mark.size());
        segments = Concat({segments, Segment(0xE1, Concat({ToBytes(mark), Bytes(part, ' ')}))});
        left -= part;
    }
    segments = Concat({segments, Segment(0xE1, ExifPayload(ExifBlock(orientation)))});
    jpeg.insert(jpeg.begin() + 2, segments.begin(), segments.end());
    return jpeg;
}

class Upright : public FormTest {
  protected:
    std::string Source(int orientation, std::size_t xmpBytes = 0) {
        const std::string path = dir / "photo.jpg";
        Files::Local().WriteAll(path, MarkedJpeg(orientation, xmpBytes));
        return path;
    }
    // Action 4 at 50 % into (R)photo<ext>.
    GpBitmap Resize(int orientation, bool upright, int conversion, const std::string& ext) {
        Add(Source(orientation));
        form.Text2.setText("50");
        form.Check8.setValue(upright ? 1 : 0);
        form.Combo4.setListIndex(conversion);
        Run(4);
        output = *Files::Local().ReadAll(dir / ("(R)photo" + ext));
        return DecodePicture(output).value();
    }
    Bytes output;
};

// The watermark goes onto the picture as it is meant to be seen.
TEST_F(Upright, AWatermarkedPictureIsTurnedBeforeTheWatermarkGoesOn) {
    const std::string logo = dir / "logo.png";
    ASSERT_TRUE(
        Files::Local().WriteAll(logo, EncodePng(*Surface::Create(8, 8, kWhite), {}).value()));
    form.Check6.setValue(1);
    services.dialogAnswers.push_back(logo);
    form.Command14_Click();
    const Surface p = Resize(6, true, 5, ".PNG").pixels;
    ASSERT_EQ(p.Width(), 150);
    ASSERT_EQ(p.Height(), 200);
    // Orientation 6 puts the stored top-left corner at the top right.
    EXPECT_EQ(p.At(p.Width() - 3, 2) & 0xFFC0C0C0u, kRed & 0xFFC0C0C0u);
}

TEST_F(Upright, KeptBlockDescribesTheTurnedPictureAndOffIsAsBefore) {
    // Every orientation's turn is checked on pixels beside the codecs; here the
    // run turns before it sizes: the stored top-left corner shows at the top right.
    const Surface p = Resize(6, true, 0, ".jpg").pixels;
    ASSERT_EQ(p.Width(), 150);
    ASSERT_EQ(p.Height(), 200);
    EXPECT_EQ(p.At(p.Width() - 3, 2) & 0xFFC0C0C0u, kRed & 0xFFC0C0C0u);
    EXPECT_EQ(p.At(2, p.Height() - 3) & 0xFFC0C0C0u, kWhite & 0xFFC0C0C0u);
    const auto block = exif::ExifTiffBlock(output);
    ASSERT_TRUE(block);
    EXPECT_EQ(exif::OrientationOf(*block), 1);
    EXPECT_EQ(form.ReadDateTaken(dir / "(R)photo.jpg"), "2021:05:06 07:08:09");
    // Sizes and the thumbnail link: the pixel sizes read back, IFD1 is gone.
    const Bytes expected = [] {
        Bytes b = ExifBlock(1);
        exif::MarkUpright(b, 150, 200);
        return b;
    }();
    EXPECT_EQ(*block, expected);

    std::filesystem::remove(dir / "(R)photo.jpg");
    const GpBitmap stored = Resize(6, false, 0, ".jpg");
    EXPECT_EQ(stored.pixels.Width(), 200);
    EXPECT_EQ(exif::OrientationOf(*exif::ExifTiffBlock(output)), 6);
}

TEST_F(Upright, WebpAndAvifOutputsCarryTheBlockAndAreDated) {
    for (const auto& [conversion, ext] : {std::pair{6, ".WEBP"}, std::pair{7, ".AVIF"}}) {
        const GpBitmap out = Resize(1, false, conversion, ext);
        EXPECT_EQ(out.pixels.Width(), 200) << ext;
        const auto block = exif::ContainerExifBlock(output);
        ASSERT_TRUE(block) << ext;
        EXPECT_EQ(*block, ExifBlock(1)) << ext;
        EXPECT_EQ(form.ReadDateTaken(dir / ("(R)photo" + std::string(ext))), "2021:05:06 07:08:09");
    }
}

// A short XMP segment, and more XMP than the first read of a file's start holds.
TEST_F(Upright, XmpBeforeExifIsDatedAndKeepsTheBlock) {
    const std::size_t bigXmp = 5 * 65000;
    Add(Source(1, 40));
    const std::string big = dir / "big.jpg";
    ASSERT_TRUE(Files::Local().WriteAll(big, MarkedJpeg(1, bigXmp)));
    Add(big);
    form.Check1.setValue(1);
    form.Combo1.setListIndex(2); // CCYY-MM-DD
    Run(6, "trip");
    for (const char* name : {"2021-05-06 trip-001.jpg", "2021-05-06 trip-002.jpg"}) {
        ASSERT_TRUE(std::filesystem::exists(dir / name)) << dir.Listing();
        const auto block = exif::ExifTiffBlock(*Files::Local().ReadAll(dir / name));
        ASSERT_TRUE(block) << name;
        EXPECT_EQ(*block, ExifBlock(1)) << name;
    }
    ASSERT_TRUE(Files::Local().WriteAll(big, MarkedJpeg(6, bigXmp)));
    EXPECT_EQ(exif::FileOrientation(Files::Local(), big), 6);
}

// A phone's HEIC: its irot box turns it, and its EXIF Orientation, which says the
// same, does not turn it again; its Exif item dates it.
TEST_F(Upright, HeicIsTurnedOnceAndDatedByItsExifItem) {
    const auto heic = WriteHeic(RedCorner(), {nullptr, 0, ExifBlock(6), 6});
    if (!heic)
        GTEST_SKIP() << "libheif has no HEVC encoder here";
    ASSERT_TRUE(Files::Local().WriteAll(dir / "phone.heic", *heic));
    Add(dir / "phone.heic");
    form.Text2.setText("50");
    form.Check8.setValue(1);
    form.Combo4.setListIndex(5); // PNG
    Run(4);
    const Surface p = DecodePicture(*Files::Local().ReadAll(dir / "(R)phone.PNG")).value().pixels;
    ASSERT_EQ(p.Width(), 150);
    ASSERT_EQ(p.Height(), 200);
    EXPECT_EQ(p.At(p.Width() - 3, 2) & 0xFFC0C0C0u, kRed & 0xFFC0C0C0u);
    EXPECT_EQ(p.At(2, p.Height() - 3) & 0xFFC0C0C0u, kWhite & 0xFFC0C0C0u);

    Add(dir / "phone.heic"); // a run empties the list
    form.Check1.setValue(1);
    form.Combo1.setListIndex(2); // CCYY-MM-DD
    Run(1, "trip");
    EXPECT_TRUE(std::filesystem::exists(dir / "2021-05-06 trip-001.heic")) << dir.Listing();
}

TEST_F(Upright, PreviewShowsThePictureUprightWithTheOptionOff) {
    services.display = true;
    form.Check8.setValue(0);
    Add(Source(6));
    const PictureRef shown = form.Image1.Picture();
    ASSERT_TRUE(shown);
    EXPECT_LT(shown->Width(), shown->Height());
    EXPECT_LT(form.Image1.Width(), form.Image1.Height());
    // The stored top-left corner shows at the top right.
    EXPECT_EQ(shown->At(shown->Width() - 2, 1) & 0xFFC0C0C0u, kRed & 0xFFC0C0C0u);
}

} // namespace
} // namespace zembra::testing
