#include "watermark/placement.h"

#include "imaging/bitmap.h"
#include "imaging/gdiplus.h"
#include "imaging/graphics.h"
#include "platform/fox_rotate.h"
#include "platform/raster_ops.h"
#include "platform/steps.h"
#include "watermark/colour_key.h"
#include "watermark/picture_drawing.h"

#include <cmath>
#include <limits>

namespace zembra {

namespace {

constexpr int kDivisionByZero = 11;

std::int16_t ToInt16(double value) {
    const double r = std::nearbyint(value);
    if (!(r >= std::numeric_limits<std::int16_t>::min() &&
          r <= std::numeric_limits<std::int16_t>::max()))
        throw PlatformError(kOverflow, "Overflow");
    return static_cast<std::int16_t>(r);
}

int ToInt32(double value) {
    const double r = std::nearbyint(value);
    if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max()))
        throw PlatformError(kOverflow, "Overflow");
    return static_cast<int>(r);
}

double Quotient(double a, double b) {
    if (b == 0)
        throw PlatformError(kDivisionByZero, "Division by zero");
    return a / b;
}

// Stretches a picture over the box's whole drawable area, smoothing as it goes so
// an enlarged logo has soft edges instead of blocks.
void StretchOnto(PictureBox& box, const PictureRef& picture) {
    cBitmap image;
    if (image.CreateFromHBitmap(picture) != GpStatus::Ok)
        return;
    cGraphics graphics;
    if (graphics.CreateFromHDC(box.hDC()) != GpStatus::Ok)
        return;
    graphics.DrawImageRectRectI(image.Handle(), 0, 0, box.PixelWidth(), box.PixelHeight(), 0, 0,
                                picture->Width(), picture->Height());
}

// Builds Picture6: the watermark scaled, keeping its proportions, to the picture's
// width; along the diagonal it is as long as the diagonal and is then turned onto
// a canvas as wide as the diagonal and as high as the picture.
void StretchWatermark(const WatermarkControls& c, bool alongDiagonal) {
    PictureBox& stretched = c.Picture6;
    Step([&] {
        stretched.setScaleMode(PictureBox::vbTwips);
        stretched.setPicture(nullptr);
    });
    Step([&] { c.Image2.setPicture(c.Picture5.Image()); });

    // Sizes in twips, the boxes' outer sizes (the boxes have no border).
    double width = 0, height = 0;
    Step([&] {
        const double r = Quotient(c.Picture4.Width(), c.Picture5.Width());
        width = c.Picture4.Width();
        height = c.Picture5.Height() * r;
    });
    float degrees = 0;
    if (alongDiagonal) {
        Step([&] {
            const double W = c.Picture4.PixelWidth(), H = c.Picture4.PixelHeight();
            const float theta = static_cast<float>(std::atan(Quotient(H, W)));
            // Height / sin(theta) is the diagonal, in twips like the height.
            width = Quotient(c.Picture4.Height(), std::sin(theta));
            degrees = static_cast<float>(theta * 180 / 3.14159265359);
        });
    }

    Step([&] {
        stretched.setWidth(width);
        stretched.setHeight(height);
    });
    Step([&] { StretchOnto(stretched, c.Image2.Picture()); });
    Step([&] {
        stretched.setPicture(stretched.Image());
        stretched.Refresh();
        stretched.setScaleMode(PictureBox::vbPixels);
    });
    if (!alongDiagonal)
        return;

    PictureBox& canvas = c.Picture7;
    Step([&] { canvas.Cls(); });
    Step([&] {
        canvas.setWidth(stretched.Width());
        canvas.setHeight(c.Picture4.Height());
    });
    Step([&] { SetNeutralColours(canvas, LightKey(c.Picture5.hDC())); });
    Step([&] {
        FoxRotate(canvas.hDC(), ToInt32(canvas.ScaleWidth() / 2), ToInt32(canvas.ScaleHeight() / 2),
                  ToInt32(stretched.ScaleWidth()), ToInt32(stretched.ScaleHeight()),
                  stretched.hDC(), 0, 0, -degrees, 0, 0);
    });
    Step([&] {
        canvas.Refresh();
        stretched.setPicture(canvas.Image());
    });
}

} // namespace

std::int16_t WatermarkLeft(int W, int Ws) {
    return ToInt16((double(W) - Ws) / 2);
}

std::int16_t WatermarkTop(int alignment, int H, int Hs) {
    switch (alignment) {
    case kAlignTop:
        return 0;
    case kAlignCenter:
        return ToInt16((double(H) - Hs) / 2);
    case kCornerToCorner:
    case kAlignBottom:
        return ToInt16(double(H) - Hs);
    default:
        return 0;
    }
}

bool PlaceWatermark(const WatermarkControls& c, const std::string& picture, Services& services,
                    ErrorEvent::Listener onError) {
    if (c.Label28.Caption() == kNoWatermark) {
        services.MsgBox("Please select watermark image");
        Step([&] {
            cGdiPlus gdip;
            c.Image1.setPicture(gdip.FilenameToIPicture(picture));
        });
        return false;
    }
    // The window repaints while the picture is decoded and drawn.
    const bool drawn = DrawPictureFitted(
        c.Picture4, c.Image1, picture, [&] { services.DoEvents(); }, std::move(onError));

    const int alignment = c.Combo5.ListIndex();
    PictureBox* watermark = &c.Picture5;
    if (c.Check7.Value() != 0 || alignment == kCornerToCorner) {
        StretchWatermark(c, alignment == kCornerToCorner);
        services.DoEvents();
        watermark = &c.Picture6;
    }

    const int W = c.Picture4.PixelWidth(), H = c.Picture4.PixelHeight();
    const int Ws = watermark->PixelWidth(), Hs = watermark->PixelHeight();
    std::int16_t x = 0, y = 0;
    Step([&] { x = WatermarkLeft(W, Ws); });
    Step([&] { y = WatermarkTop(alignment, H, Hs); });
    // No margin: whatever falls outside the picture is clipped.
    Step([&] {
        BitBlt(c.Picture4.hDC(), x, y, Ws, Hs, watermark->hDC(), 0, 0,
               KeyRasterOp(LightKey(c.Picture5.hDC())));
    });
    return drawn;
}

} // namespace zembra
