#include "imaging/bitmap.h"
#include "imaging/graphics.h"

#include "platform/form.h"
#include "platform/picture_box.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(Bitmap, LoadingThenDrawingBlendsTransparencyOverWhatTheBoxHolds) {
    testing::TempDir dir;
    Form form{"Form1"};
    PictureBox box{form, "Picture4"};
    cBitmap bitmap;
    EXPECT_EQ(bitmap.LoadFromFile(dir / "missing.png"), GpStatus::FileNotFound);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    // A 2 x 1 PNG: a transparent pixel, then an opaque orange one.
    const Bytes png = testing::WritePng({.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA},
                                        {255, 255, 255, 0, 200, 100, 50, 255});
    ASSERT_EQ(bitmap.LoadFromFile(dir.Write("logo.png", testing::AsText(png))), GpStatus::Ok);
    EXPECT_EQ(bitmap.Width(), 2);
    // The box sized to the picture, which is drawn at its own size over the background.
    box.setBorderStyle(PictureBox::vbBSNone);
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

} // namespace
} // namespace zembra
