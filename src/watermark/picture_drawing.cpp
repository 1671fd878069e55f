#include "watermark/picture_drawing.h"

#include "imaging/graphics.h"
#include "imaging/upright.h"
#include "platform/steps.h"

#include <cmath>

namespace zembra {

namespace {

constexpr int kPreviewSide = 2300;
constexpr int kPreviewLeft = 600;
constexpr int kPreviewTop = 285;

int Twips(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

bool DrawAtOwnSize(PictureBox& box, const cBitmap& image) {
    cGraphics graphics;
    if (graphics.CreateFromHDC(box.hDC()) != GpStatus::Ok)
        return false;
    const int w = box.PixelWidth(), h = box.PixelHeight();
    return graphics.DrawImageRectRectI(image.Handle(), 0, 0, w, h, 0, 0, w, h) == GpStatus::Ok;
}

void FitPreview(ImageControl& preview, const PictureBox& box) {
    const double w = box.PixelWidth(), h = box.PixelHeight();
    // A box without a picture has nothing to fit; the preview keeps its place.
    if (w <= 0 || h <= 0)
        throw PlatformError(11, "Division by zero");
    if (box.Width() > box.Height()) {
        const int height = Twips(kPreviewSide * h / w);
        preview.Move(kPreviewLeft, Twips(kPreviewSide / 2 - height / 2.0 + kPreviewTop),
                     kPreviewSide, height);
    } else {
        const int width = Twips(kPreviewSide * w / h);
        preview.Move(Twips(kPreviewSide / 2 - width / 2.0 + kPreviewLeft), kPreviewTop, width,
                     kPreviewSide);
    }
}

bool DrawPictureFitted(PictureBox& box, ImageControl& preview, const std::string& path,
                       const std::function<void()>& afterClearing, ErrorEvent::Listener onError,
                       int orientation) {
    cBitmap image(std::move(onError));
    Step([&] {
        bool loaded = image.LoadFromFile(path) == GpStatus::Ok;
        if (loaded && orientation != 1)
            loaded = image.CreateFromHBitmap(TurnedUpright(image.Picture(), orientation)) ==
                     GpStatus::Ok;
        box.setPicture(loaded ? image.Picture() : nullptr);
    });
    Step([&] { FitPreview(preview, box); });
    Step([&] {
        box.Cls();
        box.setPicture(nullptr);
    });
    if (afterClearing)
        Step(afterClearing);
    bool drawn = false;
    Step([&] {
        drawn = image.Handle() != nullptr && DrawAtOwnSize(box, image);
        box.Refresh();
    });
    return drawn;
}

} // namespace zembra
