#pragma once
// cBitmap: one image of the imaging library. The program uses it to load a file
// and hand its image to cGraphics, which draws it at its own size; its other
// operations each do one thing to the image.

#include "imaging/codec.h"
#include "imaging/encoder_table.h"
#include "imaging/gp_bitmap.h"
#include "imaging/status.h"
#include "platform/surface.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zembra {

class cGraphics;
struct GpGraphics;

// A palette as the imaging library passes it: flags, then 0xAARRGGBB entries.
struct ColorPalette {
    std::uint32_t Flags = 0;
    std::vector<std::uint32_t> Entries;
};

// Picture data that a program carries with it, by resource number, such as a
// logo; CreateFromResource reads from here.
void RegisterResource(int id, std::span<const std::uint8_t> bytes);

class cBitmap {
  public:
    // Starts a session and builds the encoder table; `onError` hears even a
    // failing start-up.
    explicit cBitmap(ErrorEvent::Listener onError = {});
    ~cBitmap();
    cBitmap(const cBitmap&) = delete;
    cBitmap& operator=(const cBitmap&) = delete;

    ErrorEvent Error;

    // [SECTION] Making the image. Each replaces an earlier image.
    GpStatus LoadFromFile(const std::string& sFileName);
    // Pixels in memory: 32bppARGB, 32bppPARGB, 32bppRGB or 24bppRGB rows of lStride
    // bytes (negative for bottom-up rows); null data gives a transparent image.
    GpStatus CreateFromScan0(int lWidth, int lHeight, int lStride, int ePixelFormats,
                             const void* lDataPtr);
    GpStatus CreateFromHBitmap(const PictureRef& hBitmap);
    GpStatus CreateFromGraphics(int lWidth, int lHeight, GpGraphics* lGraphicHandle);
    GpStatus CreateFromResource(int lResID);
    // A smaller copy of another image, each pixel taken from under its centre.
    GpStatus CreateThumbFromImage(int lWidth, int lHeight, const GpBitmap* lBitmapHandle);

    // The image handle, for cGraphics; null when there is none.
    GpBitmap* Handle() const { return image_.get(); }
    void Dispose();

    // [SECTION] About the image
    int CurErr() const { return curErr_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int PixelFormat() const { return pixelFormat_; }
    int FrameCount() const { return frameCount_; }
    int ExtensionExists(std::string_view sKey) const { return patterns_.EncoderIndex(sKey); }
    std::string GdiErrorString(int lError) const { return zembra::GdiErrorString(lError); }

    // The image as an opaque picture object, transparent parts black; null (and
    // Error) when there is no image.
    PictureRef Picture();

    // Selects a frame by time (GIF animations) or by page (TIFF) and updates the
    // frame count for that dimension.
    GpStatus SelectActiveFrame(int lFrame, bool lIsGIF = false);

    // [SECTION] Palette of palette images; other images have an empty one.
    ColorPalette GetPalette() const;
    GpStatus SetPalette(const ColorPalette& palette);
    // Makes palette entry (lIndex AND 255) fully transparent.
    GpStatus SetTransColor(int lIndex);

    // [SECTION] Saving, with the encoder of an index of this object's table.
    GpStatus SaveToFile(const std::string& sFileName, int encoderIndex,
                        const EncodeOptions& options = {});
    GpStatus SaveToBytes(Bytes& out, int encoderIndex, const EncodeOptions& options = {});

  private:
    GpStatus SetError(GpStatus status, std::string detail = {});
    GpStatus Adopt(std::unique_ptr<GpBitmap> image);
    void RefreshDimensions();
    void BuildEncoderTable();

    std::uint32_t sessionToken_ = 0;
    std::unique_ptr<GpBitmap> image_;
    int curErr_ = 0;
    int pixelFormat_ = 0;
    int width_ = 0, height_ = 0;
    int frameCount_ = 0;
    std::vector<const Codec*> encoders_;
    EncoderTable patterns_;
};

} // namespace zembra
