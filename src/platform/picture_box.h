#pragma once
// A picture box: a control with a drawing surface. It has a Picture (a shared
// picture object shown at its top-left corner over the background colour) and a
// persistent image: the background, the picture and whatever was drawn since,
// through its device context or PaintPicture. Image reads that image back as a
// picture object.
//
// Pixels are not copied until they must be: a box whose picture fills it exactly
// hands that same picture out as its Image, and the image is copied before a
// drawing changes it only while someone else still holds it.

#include "platform/control.h"
#include "platform/device_context.h"
#include "platform/raster_ops.h"
#include "platform/surface.h"

#include <memory>
#include <optional>
#include <string>

namespace zembra {

class PictureBox : public Control {
  public:
    // Scale modes: the unit of ScaleWidth, ScaleHeight and PaintPicture's coordinates.
    static constexpr int vbTwips = 1;
    static constexpr int vbPoints = 2;
    static constexpr int vbPixels = 3;
    static constexpr int vbInches = 5;
    static constexpr int vbMillimeters = 6;
    static constexpr int vbCentimeters = 7;

    // Border styles; a fixed single border takes 2 pixels on each side.
    static constexpr int vbBSNone = 0;
    static constexpr int vbFixedSingle = 1;
    static constexpr int kBorderPixels = 2;

    PictureBox(Form& form, std::string name, Control* parent = nullptr);
    ~PictureBox() override;

    // [SECTION] Size. The outer size is Control's Width/Height in twips; the box
    // always covers whole pixels, so a size in twips is rounded to the nearest pixel.
    void setWidth(double twips);
    void setHeight(double twips);
    // The drawable (inner) size in pixels: the outer size less the border.
    int PixelWidth() const;
    int PixelHeight() const;

    int ScaleMode() const { return scaleMode_; }
    // Throws PlatformError 380 for a mode that is not one of the above.
    void setScaleMode(int mode);
    // The drawable size in the current scale mode.
    double ScaleWidth() const;
    double ScaleHeight() const;

    int BorderStyle() const { return borderStyle_; }
    // Keeps the outer size, so the drawable size changes. Throws 380 for other styles.
    void setBorderStyle(int style);

    // Whether assigning a picture resizes the box to the picture's size.
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    // Kept for the handlers that set it. Drawings here always persist: a surface of
    // this model is never painted over by other windows.
    bool AutoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool autoRedraw);

    // [SECTION] Colours
    OLE_COLOR BackColor() const { return backColor_; }
    // Clears the box to the new colour, as Cls does.
    void setBackColor(OLE_COLOR color);
    OLE_COLOR ForeColor() const { return foreColor_; }
    void setForeColor(OLE_COLOR color);
    OLE_COLOR FillColor() const { return fillColor_; }
    void setFillColor(OLE_COLOR color);

    // [SECTION] Picture and image
    const PictureRef& Picture() const { return picture_; }
    // Resets the persistent image to the background with the new picture on it
    // (null removes the picture) and, with AutoSize, sizes the box to it.
    void setPicture(PictureRef picture);
    // The persistent image as a picture object; null while the box has no size.
    PictureRef Image();

    // Clears drawings: the image becomes the background with the picture on it.
    void Cls();
    // Tells the hosts to show the box's image again.
    void Refresh();

    // Draws the source rectangle (x2, y2, width2, height2) of picture, by default
    // all of it, stretched by point sampling over (x1, y1, width1, height1), by
    // default the picture's own size; all in the current scale mode. The box takes
    // the picture's colour profile. Throws PlatformError 5 without a picture.
    void PaintPicture(const PictureRef& picture, double x1, double y1,
                      std::optional<double> width1 = {}, std::optional<double> height1 = {},
                      std::optional<double> x2 = {}, std::optional<double> y2 = {},
                      std::optional<double> width2 = {}, std::optional<double> height2 = {},
                      std::uint32_t opcode = SRCCOPY);

    // The device context that draws into the persistent image.
    HDC hDC() const { return dc_.Handle(); }

  private:
    class BoxContext final : public DeviceContext {
      public:
        explicit BoxContext(PictureBox& box) : box_(box) {}
        Surface* Target() override { return box_.Writable(); }
        const Surface* Source() override { return box_.Readable(); }

      private:
        PictureBox& box_;
    };

    // Pixels of a length in the current scale mode, rounded to nearest.
    int ToPixels(double value) const;
    double FromPixels(int pixels) const;
    void SetOuterPixels(std::optional<int> width, std::optional<int> height);
    void SyncSize();
    bool PictureFillsBox() const;
    Surface* Writable();
    const Surface* Readable();
    void Materialise();

    int scaleMode_ = vbTwips;
    int borderStyle_ = vbFixedSingle;
    bool autoSize_ = false;
    bool autoRedraw_ = false;
    OLE_COLOR backColor_ = 0x8000000Fu; // button face, the designer's default
    OLE_COLOR foreColor_ = 0x80000012u; // button text
    OLE_COLOR fillColor_ = 0;
    PictureRef picture_;
    // The persistent image once it differs from "background plus picture"; shared
    // with the picture objects that Image handed out.
    std::shared_ptr<Surface> image_;
    int imageWidth_ = 0, imageHeight_ = 0;
    BoxContext dc_{*this};
};

} // namespace zembra
