#include "imaging/graphics.h"

#include "imaging/session.h"
#include "platform/picture_box.h"

namespace zembra {

cGraphics::cGraphics(ErrorEvent::Listener onError) {
    if (onError)
        Error.subscribe(std::move(onError));
}

cGraphics::~cGraphics() {
    if (graphics_) {
        if (heldDc_ != HDC::Null)
            ReleaseDC();
        Dispose();
    }
}

GpStatus cGraphics::SetError(GpStatus status, std::string detail) {
    return PassStatus(status, std::move(detail), curErr_, Error);
}

GpStatus cGraphics::Bind(GpGraphics graphics) {
    if (!GdiplusRunning())
        return SetError(GpStatus::GdiplusNotInitialized);
    if (heldDc_ != HDC::Null)
        ReleaseDC();
    graphics_ = graphics;
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::CreateFromHDC(HDC lHdc) {
    if (DeviceContext::FromHandle(lHdc) == nullptr)
        return SetError(GpStatus::InvalidParameter, "no such device context");
    return Bind(GpGraphics{lHdc, nullptr, {}, InterpolationModeDefault});
}

GpStatus cGraphics::CreateFromHWND(Control& window) {
    auto* box = dynamic_cast<PictureBox*>(&window);
    if (box == nullptr)
        return SetError(GpStatus::InvalidParameter, window.Name() + " has no drawing surface");
    return CreateFromHDC(box->hDC());
}

GpStatus cGraphics::GetGraphicsContext(GpBitmap* lBitmap) {
    if (lBitmap == nullptr)
        return SetError(GpStatus::InvalidParameter, "no bitmap");
    return Bind(GpGraphics{HDC::Null, lBitmap, {}, InterpolationModeDefault});
}

Surface* cGraphics::TargetSurface() {
    if (graphics_->bitmap != nullptr)
        return &graphics_->bitmap->pixels;
    auto* context = DeviceContext::FromHandle(graphics_->dc);
    return context == nullptr ? nullptr : context->Target();
}

GpStatus cGraphics::DrawImageRectRectI(const GpBitmap* lBmpHandle, int dstx, int dsty,
                                       int lDstWidth, int lDstHeight, int srcx, int srcy,
                                       int lSrcWidth, int lSrcHeight) {
    if (!graphics_ || lBmpHandle == nullptr)
        return SetError(GpStatus::InvalidParameter, !graphics_ ? "no drawing surface" : "no image");
    if (heldDc_ != HDC::Null)
        return SetError(GpStatus::ObjectBusy);
    Surface* target = TargetSurface();
    if (target == nullptr)
        return SetError(GpStatus::InvalidParameter, "the device context is gone or has no pixels");
    const bool smooth = graphics_->interpolation != InterpolationModeNearestNeighbor;
    DrawImage(*target, *lBmpHandle,
              RectD{double(dstx), double(dsty), double(lDstWidth), double(lDstHeight)},
              RectD{double(srcx), double(srcy), double(lSrcWidth), double(lSrcHeight)},
              graphics_->world, smooth);
    // A turned drawing leaves corners of what was there, so only a straight one
    // can take over the surface's profile.
    if (target != &lBmpHandle->pixels && graphics_->world.IsIdentity() && lDstWidth > 0 &&
        lDstHeight > 0)
        target->TakeProfileOfPainting(lBmpHandle->pixels.Profile(), dstx, dsty, lDstWidth,
                                      lDstHeight);
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::DrawImageI(const GpBitmap* lBmpHandle, int x, int y) {
    if (lBmpHandle == nullptr)
        return SetError(GpStatus::InvalidParameter, "no image");
    const int w = lBmpHandle->pixels.Width(), h = lBmpHandle->pixels.Height();
    return DrawImageRectRectI(lBmpHandle, x, y, w, h, 0, 0, w, h);
}

GpStatus cGraphics::DrawImageRectI(const GpBitmap* lBmpHandle, int x, int y, int lWidth,
                                   int lHeight) {
    if (lBmpHandle == nullptr)
        return SetError(GpStatus::InvalidParameter, "no image");
    return DrawImageRectRectI(lBmpHandle, x, y, lWidth, lHeight, 0, 0, lBmpHandle->pixels.Width(),
                              lBmpHandle->pixels.Height());
}

GpStatus cGraphics::CreateFromGraphics(int lWidth, int lHeight,
                                       std::unique_ptr<GpBitmap>& lBmpHandle) {
    if (!graphics_)
        return SetError(GpStatus::InvalidParameter, "no drawing surface");
    auto surface = Surface::Create(lWidth, lHeight, 0);
    if (!surface)
        return SetError(GpStatus::InvalidParameter, "bad size");
    lBmpHandle = std::make_unique<GpBitmap>(std::move(*surface));
    lBmpHandle->hasAlpha = true;
    lBmpHandle->pixelFormat = PixelFormat32bppARGB;
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::GetDC() {
    if (!graphics_)
        return SetError(GpStatus::InvalidParameter, "no drawing surface");
    if (heldDc_ != HDC::Null)
        return SetError(GpStatus::ObjectBusy);
    if (graphics_->bitmap != nullptr) {
        bitmapDc_ = std::make_unique<SurfaceDC>(graphics_->bitmap->pixels);
        heldDc_ = bitmapDc_->Handle();
    } else {
        heldDc_ = graphics_->dc;
    }
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::ReleaseDC() {
    if (heldDc_ == HDC::Null)
        return SetError(GpStatus::InvalidParameter, "no device context is held");
    heldDc_ = HDC::Null;
    bitmapDc_.reset();
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::Transform(const Affine& op, int order) {
    if (!graphics_)
        return SetError(GpStatus::InvalidParameter, "no drawing surface");
    if (order != MatrixOrderPrepend && order != MatrixOrderAppend)
        return SetError(GpStatus::InvalidParameter, "unknown matrix order");
    // Prepend: the new operation applies to points first.
    graphics_->world =
        order == MatrixOrderPrepend ? op.Then(graphics_->world) : graphics_->world.Then(op);
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::ResetTransform() {
    if (!graphics_)
        return SetError(GpStatus::InvalidParameter, "no drawing surface");
    graphics_->world = Affine{};
    return SetError(GpStatus::Ok);
}

GpStatus cGraphics::RotateTransform(float sngAngle, int eOrder) {
    return Transform(Affine::Rotation(sngAngle), eOrder);
}

GpStatus cGraphics::TranslateTransform(float dx, float dy, int eOrder) {
    return Transform(Affine::Translation(dx, dy), eOrder);
}

GpStatus cGraphics::SetInterpolationMode(int eMode) {
    if (!graphics_)
        return SetError(GpStatus::InvalidParameter, "no drawing surface");
    if (eMode < InterpolationModeDefault || eMode > InterpolationModeHighQualityBicubic)
        return SetError(GpStatus::InvalidParameter, "unknown interpolation mode");
    graphics_->interpolation = eMode;
    return SetError(GpStatus::Ok);
}

void cGraphics::Dispose() {
    heldDc_ = HDC::Null;
    bitmapDc_.reset();
    graphics_.reset();
}

} // namespace zembra
