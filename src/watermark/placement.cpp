#include "watermark/placement.h"

#include "imaging/bitmap.h"
#include "imaging/gdiplus.h"
#include "imaging/graphics.h"
#include "platform/fox_rotate.h"
#include "platform/raster_ops.h"
#include "platform/steps.h"
#include "watermark/colour_key.h"
#include "watermark/picture_drawing.h"

#include <algorithm>
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

// Stretches a picture over the box's drawable width and `wholeHeight` rows, of
// which the box holds those from `firstRow` on; smoothing as it goes so an
// enlarged logo has soft edges instead of blocks. Only the rows the box holds are
// worked out.
void StretchOnto(PictureBox& box, const PictureRef& picture, int firstRow, int wholeHeight) {
    cBitmap image;
    if (image.CreateFromHBitmap(picture) != GpStatus::Ok)
        return;
    cGraphics graphics;
    if (graphics.CreateFromHDC(box.hDC()) != GpStatus::Ok)
        return;
    graphics.DrawImageRectRectI(image.Handle(), 0, -firstRow, box.PixelWidth(), wholeHeight, 0, 0,
                                picture->Width(), picture->Height());
}

// The rows of the whole stretched watermark that Picture6 is made of. A tall logo
// stretched to a wide picture comes out many times taller than the picture (20 x
// 900 on a 5184-pixel-wide photo: 5184 x 233280 pixels, 4.8 GB), so when it would
// be taller than needed only the rows that can land on the picture are made.
struct HeldRows {
    int first = 0;
    int count = 0;
    int whole = 0;
    bool All() const { return count == whole; }
};

// The rows that land on a picture H high when the whole watermark's top is at y.
HeldRows RowsOnPicture(int whole, int H, int y) {
    if (whole <= H)
        return {0, whole, whole};
    const int first = std::clamp(-y, 0, whole);
    const int end = std::clamp(H - y, first, whole);
    return {first, std::max(1, end - first), whole};
}

// The rows that can land on the diagonal canvas (the picture's diagonal D long and
// the picture's height H high) when the watermark is turned by theta about its
// centre: the canvas turned back spans D sin(theta) + H cos(theta) rows. They are
// taken evenly about the centre, so the turn keeps its centre.
HeldRows RowsOnDiagonal(int whole, double D, int H, double theta) {
    const double reach = D * std::sin(theta) + H * std::cos(theta);
    int count = static_cast<int>(std::min<double>(whole, std::ceil(reach) + 4));
    count += (whole - count) % 2; // the same parity as the whole keeps the centre exact
    if (count >= whole)
        return {0, whole, whole};
    return {(whole - count) / 2, count, whole};
}

int PixelsOf(double twips) {
    return ToInt32(twips / kTwipsPerPixel);
}

// Rows of the stretched watermark that are made and placed (or turned) at a time,
// when only a part of it lands or it is turned onto the diagonal: a few megabytes
// even on the widest photographs.
constexpr int kBandRows = 256;

// Makes `band` the rows [first, first + count) of `logo` stretched to `width`
// twips and `whole` rows.
void StretchBand(PictureBox& band, const PictureRef& logo, double width, int first, int count,
                 int whole) {
    band.setPicture(nullptr);
    band.Cls();
    band.setWidth(width);
    band.setHeight(count * double(kTwipsPerPixel));
    StretchOnto(band, logo, first, whole);
}

// Turns the rows of the stretched watermark, `width` twips long, that the canvas
// can reach onto a canvas as wide as the diagonal and as high as the picture, and
// makes Picture6 the canvas. Only the canvas's columns that land on the picture,
// the diagonal being centred on it, are kept; the rows are made and turned a band
// at a time. Along the diagonal of a large photograph either whole would take more
// memory than the photograph itself.
void TurnOntoDiagonal(const WatermarkControls& c, double width, HeldRows rows, float degrees) {
    PictureBox& canvas = c.Picture7;
    PictureBox& band = c.Picture6;
    const int W = c.Picture4.PixelWidth();
    int D = 0, x = 0; // the whole canvas's width and its left edge on the picture
    Step([&] { D = PixelsOf(width); });
    Step([&] { x = WatermarkLeft(W, D); }); // left at 0 outside 16 bits, as when placing
    const int kept = std::max(0, -x);       // the whole canvas's first column that is kept
    Step([&] { canvas.Cls(); });
    Step([&] {
        canvas.setWidth(std::max(0, std::min(D, W - x) - kept) * double(kTwipsPerPixel));
        canvas.setHeight(c.Picture4.Height());
    });
    Step([&] { SetNeutralColours(canvas, LightKey(c.Picture5.hDC())); });
    for (int top = 0; top < rows.count; top += kBandRows) {
        const int count = std::min(kBandRows, rows.count - top);
        // The row after the band too: a pixel's sample mixes two rows.
        const int held = count + (top + count < rows.count ? 1 : 0);
        Step([&] {
            StretchBand(band, c.Image2.Picture(), width, rows.first + top, held, rows.whole);
        });
        Step([&] {
            FoxRotateBand(canvas.hDC(), ToInt32(D / 2.0) - kept, ToInt32(canvas.ScaleHeight() / 2),
                          band.hDC(), top, count, band.PixelWidth(), rows.count, -degrees);
        });
    }
    Step([&] {
        canvas.Refresh();
        band.setScaleMode(PictureBox::vbPixels);
        band.setPicture(canvas.Image());
    });
}

// The stretched watermark and its canvas, as large as the picture, are drawn in:
// their pixels go before the picture is resized. The boxes keep their sizes.
void LetGoOfStretched(const WatermarkControls& c) {
    Step([&] {
        c.Picture6.setPicture(nullptr);
        c.Picture6.Cls();
        c.Picture7.Cls();
    });
}

// Builds Picture6: the watermark scaled, keeping its proportions, to the picture's
// width; along the diagonal it is as long as the diagonal and is then turned onto
// a canvas as wide as the diagonal and as high as the picture. Returns the rows of
// the stretched watermark Picture6 holds before any turn.
HeldRows StretchWatermark(const WatermarkControls& c, int alignment) {
    const bool alongDiagonal = alignment == kCornerToCorner;
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
    const int W = c.Picture4.PixelWidth(), H = c.Picture4.PixelHeight();
    float degrees = 0;
    double theta = 0;
    if (alongDiagonal) {
        Step([&] {
            const float angle = static_cast<float>(std::atan(Quotient(H, double(W))));
            // Height / sin(angle) is the diagonal, in twips like the height.
            width = Quotient(c.Picture4.Height(), std::sin(angle));
            degrees = static_cast<float>(angle * 180 / 3.14159265359);
            theta = angle;
        });
    }

    HeldRows rows;
    Step([&] {
        const int whole = PixelsOf(height);
        if (alongDiagonal) {
            rows = RowsOnDiagonal(whole, PixelsOf(width), H, theta);
        } else {
            std::int16_t y = 0; // an offset outside 16 bits is left at 0, as when placing
            Step([&] { y = WatermarkTop(alignment, H, whole); });
            rows = RowsOnPicture(whole, H, y);
        }
    });
    if (alongDiagonal) {
        TurnOntoDiagonal(c, width, rows, degrees);
        return {}; // Picture6 now holds the canvas, placed whole
    }
    if (!rows.All()) {
        // Made band by band as it is placed.
        Step([&] { stretched.setScaleMode(PictureBox::vbPixels); });
        return rows;
    }
    Step([&] {
        stretched.setWidth(width);
        stretched.setHeight(height);
    });
    Step([&] { StretchOnto(stretched, c.Image2.Picture(), 0, stretched.PixelHeight()); });
    Step([&] {
        stretched.setPicture(stretched.Image());
        stretched.Refresh();
        stretched.setScaleMode(PictureBox::vbPixels);
    });
    return rows;
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
                    ErrorEvent::Listener onError, int orientation) {
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
        c.Picture4, c.Image1, picture, [&] { services.DoEvents(); }, std::move(onError),
        orientation);

    const int alignment = c.Combo5.ListIndex();
    PictureBox* watermark = &c.Picture5;
    HeldRows rows;
    if (c.Check7.Value() != 0 || alignment == kCornerToCorner) {
        rows = StretchWatermark(c, alignment);
        services.DoEvents();
        watermark = &c.Picture6;
    }

    const int W = c.Picture4.PixelWidth(), H = c.Picture4.PixelHeight();
    // When only a part of the stretched watermark lands, that part is made and
    // placed band by band; the offsets are those of the whole.
    const bool part = !rows.All();
    const int Ws = part ? W : watermark->PixelWidth();
    const int Hs = part ? rows.whole : watermark->PixelHeight();
    std::int16_t x = 0, y = 0;
    Step([&] { x = WatermarkLeft(W, Ws); });
    Step([&] { y = WatermarkTop(alignment, H, Hs); });
    // No margin: whatever falls outside the picture is clipped.
    if (!part) {
        Step([&] {
            BitBlt(c.Picture4.hDC(), x, y, Ws, Hs, watermark->hDC(), 0, 0,
                   KeyRasterOp(LightKey(c.Picture5.hDC())));
        });
    } else {
        const int end = rows.first + rows.count;
        for (int top = rows.first; top < end; top += kBandRows) {
            const int count = std::min(kBandRows, end - top);
            Step([&] {
                StretchBand(c.Picture6, c.Image2.Picture(), c.Picture4.Width(), top, count,
                            rows.whole);
            });
            Step([&] {
                BitBlt(c.Picture4.hDC(), x, y + top, Ws, count, c.Picture6.hDC(), 0, 0,
                       KeyRasterOp(LightKey(c.Picture5.hDC())));
            });
        }
    }
    if (watermark == &c.Picture6)
        LetGoOfStretched(c);
    return drawn;
}

} // namespace zembra
