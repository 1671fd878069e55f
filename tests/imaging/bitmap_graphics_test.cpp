#include "imaging/bitmap.h"
#include "imaging/graphics.h"
#include "imaging/session.h"

#include "platform/form.h"
#include "platform/picture_box.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

class BitmapTest : public ::testing::Test {
  protected:
    // A 2 x 1 PNG: a transparent pixel, then an opaque orange one.
    std::string TransparentPng() {
        return dir.Write("logo.png",
                         testing::AsText(testing::WritePng(
                             {.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA},
                             {255, 255, 255, 0, 200, 100, 50, 255})));
    }
    testing::TempDir dir;
    Form form{"Form1"};
    PictureBox box{form, "Picture4"};
};

TEST_F(BitmapTest, LoadingThenDrawingBlendsTransparencyOverWhatTheBoxHolds) {
    cBitmap bitmap;
    EXPECT_EQ(bitmap.LoadFromFile(dir / "missing.png"), GpStatus::FileNotFound);
    EXPECT_EQ(bitmap.CurErr(), 10);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    ASSERT_EQ(bitmap.LoadFromFile(TransparentPng()), GpStatus::Ok);
    EXPECT_EQ(bitmap.CurErr(), 0);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(bitmap.PixelFormat(), PixelFormat32bppARGB);
    // The drawing pattern of the watermark: box sized to the picture, drawn at
    // its own size over the box's background.
    box.setBorderStyle(PictureBox::vbBSNone);
    box.setScaleMode(PictureBox::vbPixels);
    box.Move(0, 0, 2 * 15, 1 * 15);
    for (COLORREF background : {RGB(0, 0, 0), RGB(10, 20, 30)}) {
        box.setBackColor(background);
        cGraphics graphics;
        ASSERT_EQ(graphics.CreateFromHDC(box.hDC()), GpStatus::Ok);
        ASSERT_EQ(graphics.DrawImageRectRectI(bitmap.Handle(), 0, 0, 2, 1, 0, 0, 2, 1),
                  GpStatus::Ok);
        EXPECT_EQ(GetPixel(box.hDC(), 0, 0), background);
        EXPECT_EQ(GetPixel(box.hDC(), 1, 0), RGB(200, 100, 50));
    }
}

TEST_F(BitmapTest, GraphicsNeedASessionAndATarget) {
    std::vector<int> raised;
    cGraphics graphics([&](const ImagingError& e) { raised.push_back(e.lGdiError); });
    EXPECT_EQ(graphics.DrawImageI(nullptr, 0, 0), GpStatus::InvalidParameter);
    EXPECT_EQ(graphics.CreateFromHDC(HDC::Null), GpStatus::InvalidParameter);
    if (!GdiplusRunning()) {
        EXPECT_EQ(graphics.CreateFromHDC(box.hDC()), GpStatus::GdiplusNotInitialized);
    }
    cBitmap session;
    EXPECT_EQ(graphics.CreateFromHDC(box.hDC()), GpStatus::Ok);
    EXPECT_EQ(graphics.CurErr(), 0);
    EXPECT_FALSE(raised.empty());
}

TEST_F(BitmapTest, TransformsTurnTheDrawing) {
    cBitmap bitmap;
    // A 2 x 1 source: red, green.
    const std::uint8_t pixels[] = {0, 0, 255, 255, 0, 255, 0, 255};
    ASSERT_EQ(bitmap.CreateFromScan0(2, 1, 8, PixelFormat32bppARGB, pixels), GpStatus::Ok);
    cGraphics graphics;
    GpBitmap canvas(*Surface::Create(2, 2, 0xFF000000u));
    ASSERT_EQ(graphics.GetGraphicsContext(&canvas), GpStatus::Ok);
    ASSERT_EQ(graphics.SetInterpolationMode(InterpolationModeNearestNeighbor), GpStatus::Ok);
    // Turned a quarter clockwise about the origin, then moved right by 1: the row
    // becomes a column at x = 0 (y grows downwards, so +90 degrees turns x into y).
    ASSERT_EQ(graphics.RotateTransform(90), GpStatus::Ok);
    ASSERT_EQ(graphics.TranslateTransform(1, 0, MatrixOrderAppend), GpStatus::Ok);
    ASSERT_EQ(graphics.DrawImageI(bitmap.Handle(), 0, 0), GpStatus::Ok);
    EXPECT_TRUE(testing::SamePixels(
        canvas.pixels,
        testing::Pixels(2, 2, {0xFFFF0000u, 0xFF000000u, 0xFF00FF00u, 0xFF000000u})));
}

TEST_F(BitmapTest, GetDCBlocksDrawingUntilReleased) {
    cBitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromScan0(1, 1, 4, PixelFormat32bppRGB, nullptr), GpStatus::Ok);
    cGraphics graphics;
    ASSERT_EQ(graphics.GetGraphicsContext(bitmap.Handle()), GpStatus::Ok);
    ASSERT_EQ(graphics.GetDC(), GpStatus::Ok);
    ASSERT_TRUE(FillSolid(graphics.HeldDC(), 0, 0, 1, 1, RGB(1, 2, 3)));
    EXPECT_EQ(graphics.DrawImageI(bitmap.Handle(), 0, 0), GpStatus::ObjectBusy);
    ASSERT_EQ(graphics.ReleaseDC(), GpStatus::Ok);
    EXPECT_EQ(ColorFromPixel(bitmap.Handle()->pixels.At(0, 0)), RGB(1, 2, 3));
}

TEST_F(BitmapTest, GifFramesAndTransparentPaletteEntries) {
    // Frame composition itself is tested with the codec; here the class's bookkeeping.
    auto first = EncodeGif(*Surface::Create(2, 1, 0xFFFF0000u), EncodeOptions{});
    ASSERT_TRUE(first);
    cBitmap bitmap;
    ASSERT_EQ(bitmap.LoadFromFile(dir.Write("one.gif", testing::AsText(first.value()))),
              GpStatus::Ok);
    EXPECT_EQ(bitmap.SelectActiveFrame(0, true), GpStatus::Ok);
    EXPECT_EQ(bitmap.FrameCount(), 1);
    EXPECT_EQ(bitmap.SelectActiveFrame(1, true), GpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.SelectActiveFrame(0, false), GpStatus::InvalidParameter); // not a GIF's pages
    const ColorPalette palette = bitmap.GetPalette();
    ASSERT_FALSE(palette.Entries.empty());
    EXPECT_EQ(palette.Entries[0], 0xFFFF0000u);
    ASSERT_EQ(bitmap.SetTransColor(0), GpStatus::Ok);
    EXPECT_EQ(bitmap.Handle()->pixels.At(0, 0) >> 24, 0u);
    EXPECT_EQ(ColorFromPixel(bitmap.Picture()->At(0, 0)), RGB(0, 0, 0)); // transparent shows black
}

TEST_F(BitmapTest, ThumbnailsAndScan0Formats) {
    cBitmap source;
    // 24-bit rows are 6 bytes here (no padding needed); bottom-up via a negative stride.
    const std::uint8_t rows[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    ASSERT_EQ(source.CreateFromScan0(2, 2, -6, PixelFormat24bppRGB, rows + 6), GpStatus::Ok);
    // Memory holds blue, green then red, white; the second row in memory is the top.
    EXPECT_EQ(source.Handle()->pixels.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(source.Handle()->pixels.At(0, 1), 0xFF0000FFu);
    cBitmap thumb;
    ASSERT_EQ(thumb.CreateThumbFromImage(1, 1, source.Handle()), GpStatus::Ok);
    // One pixel from a 2 x 2 source takes the pixel under its centre: (1, 1), green.
    EXPECT_EQ(thumb.Handle()->pixels.At(0, 0), 0xFF00FF00u);
    EXPECT_EQ(thumb.CreateFromScan0(1, 1, 4, 12345, rows), GpStatus::InvalidParameter);
    EXPECT_EQ(thumb.CreateThumbFromImage(1, 1, nullptr), GpStatus::InvalidParameter);
}

TEST_F(BitmapTest, ResourcesDecodeFromMemory) {
    auto png = EncodePng(*Surface::Create(3, 2, 0xFF102030u), EncodeOptions{});
    ASSERT_TRUE(png);
    RegisterResource(101, png.value());
    cBitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromResource(101), GpStatus::Ok);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.CreateFromResource(999), GpStatus::InvalidParameter);
    Bytes saved;
    ASSERT_EQ(bitmap.SaveToBytes(saved, bitmap.ExtensionExists("*.BMP")), GpStatus::Ok);
    EXPECT_EQ(saved[0], 'B');
}

} // namespace
} // namespace zembra
