#pragma once
// cGraphics: a drawing surface of the imaging library, bound to a device context,
// a picture box or a bitmap. It starts no session of its own: it works while a
// cGdiPlus or cBitmap that started one is alive.

#include "imaging/draw_image.h"
#include "imaging/gp_bitmap.h"
#include "imaging/status.h"
#include "platform/control.h"
#include "platform/device_context.h"

#include <memory>
#include <optional>

namespace zembra {

inline constexpr int MatrixOrderPrepend = 0;
inline constexpr int MatrixOrderAppend = 1;

// Interpolation modes. NearestNeighbor draws without smoothing; every other mode
// smooths bilinearly when a picture is scaled or turned.
inline constexpr int InterpolationModeDefault = 0;
inline constexpr int InterpolationModeLowQuality = 1;
inline constexpr int InterpolationModeHighQuality = 2;
inline constexpr int InterpolationModeBilinear = 3;
inline constexpr int InterpolationModeBicubic = 4;
inline constexpr int InterpolationModeNearestNeighbor = 5;
inline constexpr int InterpolationModeHighQualityBilinear = 6;
inline constexpr int InterpolationModeHighQualityBicubic = 7;

// What a graphics handle draws into and how.
struct GpGraphics {
    HDC dc = HDC::Null;         // a device context, looked up at each drawing
    GpBitmap* bitmap = nullptr; // or a bitmap's pixels
    Affine world;
    int interpolation = InterpolationModeDefault;
};

class cGraphics {
  public:
    explicit cGraphics(ErrorEvent::Listener onError = {});
    ~cGraphics();
    cGraphics(const cGraphics&) = delete;
    cGraphics& operator=(const cGraphics&) = delete;

    ErrorEvent Error;

    // Binding. Each replaces an earlier binding.
    GpStatus CreateFromHDC(HDC lHdc);
    // A picture box's drawing surface; other controls have none (InvalidParameter).
    GpStatus CreateFromHWND(Control& window);
    // Draws into the pixels of a bitmap.
    GpStatus GetGraphicsContext(GpBitmap* lBitmap);

    // Draws the source rectangle (pixels) of an image onto the destination rectangle.
    GpStatus DrawImageRectRectI(const GpBitmap* lBmpHandle, int dstx, int dsty, int lDstWidth,
                                int lDstHeight, int srcx, int srcy, int lSrcWidth, int lSrcHeight);
    GpStatus DrawImageI(const GpBitmap* lBmpHandle, int x, int y);
    GpStatus DrawImageRectI(const GpBitmap* lBmpHandle, int x, int y, int lWidth, int lHeight);

    // A new transparent bitmap of the given size for drawing together with this one.
    GpStatus CreateFromGraphics(int lWidth, int lHeight, std::unique_ptr<GpBitmap>& lBmpHandle);

    // A device context for the bound surface; drawing through this object fails
    // with ObjectBusy until ReleaseDC.
    GpStatus GetDC();
    HDC HeldDC() const { return heldDc_; }
    GpStatus ReleaseDC();

    GpStatus ResetTransform();
    GpStatus RotateTransform(float sngAngle, int eOrder = MatrixOrderPrepend);
    GpStatus TranslateTransform(float dx, float dy, int eOrder = MatrixOrderPrepend);
    GpStatus SetInterpolationMode(int eMode);

    // Ends the binding.
    void Dispose();
    GpGraphics* Handle() { return graphics_ ? &*graphics_ : nullptr; }
    int CurErr() const { return curErr_; }
    std::string GdiErrorString(int lError) const { return zembra::GdiErrorString(lError); }

  private:
    GpStatus SetError(GpStatus status, std::string detail = {});
    GpStatus Bind(GpGraphics graphics);
    GpStatus Transform(const Affine& op, int order);
    Surface* TargetSurface();

    std::optional<GpGraphics> graphics_;
    std::unique_ptr<SurfaceDC> bitmapDc_; // the context GetDC made over a bitmap
    HDC heldDc_ = HDC::Null;
    int curErr_ = 0;
};

} // namespace zembra
