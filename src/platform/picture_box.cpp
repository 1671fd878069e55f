#include "platform/picture_box.h"

#include "platform/steps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace zembra {

namespace {

constexpr int kInvalidProcedureCall = 5;

// Twips in one unit of each scale mode; 0 marks modes the boxes do not offer.
constexpr std::array<double, 8> kTwipsPerUnit = {
    0,           // user-defined scale
    1,           // twips
    20,          // points
    15,          // pixels
    0,           // characters (different across and down)
    1440,        // inches
    1440 / 25.4, // millimetres
    1440 / 2.54, // centimetres
};

int RoundToInt(double value) {
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        throw PlatformError(kOverflow, "Overflow");
    return static_cast<int>(r);
}

// A size in pixels as the twips a box keeps; a negative size is none.
int PixelsToTwips(int pixels) {
    const std::int64_t twips = std::int64_t{std::max(0, pixels)} * kTwipsPerPixel;
    if (twips > std::numeric_limits<int>::max())
        throw PlatformError(kOverflow, "Overflow");
    return static_cast<int>(twips);
}

} // namespace

PictureBox::PictureBox(Form& form, std::string name, Control* parent)
    : Control(form, std::move(name), ControlKind::PictureBox, parent) {
    // Control::Move is not virtual; watching our own changes catches every resize,
    // whoever makes it.
    subscribe([this](Control&) { SyncSize(); });
}

PictureBox::~PictureBox() = default;

// [SECTION] Size

int PictureBox::PixelWidth() const {
    const int outer = static_cast<int>(std::nearbyint(Width() / double(kTwipsPerPixel)));
    return std::max(0, outer - (borderStyle_ == vbFixedSingle ? 2 * kBorderPixels : 0));
}

int PictureBox::PixelHeight() const {
    const int outer = static_cast<int>(std::nearbyint(Height() / double(kTwipsPerPixel)));
    return std::max(0, outer - (borderStyle_ == vbFixedSingle ? 2 * kBorderPixels : 0));
}

void PictureBox::SetOuterPixels(std::optional<int> width, std::optional<int> height) {
    const int w = width ? PixelsToTwips(*width) : Width();
    const int h = height ? PixelsToTwips(*height) : Height();
    Move(Left(), Top(), w, h);
}

void PictureBox::setWidth(double twips) {
    SetOuterPixels(RoundToInt(twips / kTwipsPerPixel), {});
}

void PictureBox::setHeight(double twips) {
    SetOuterPixels({}, RoundToInt(twips / kTwipsPerPixel));
}

void PictureBox::SyncSize() {
    const int w = PixelWidth();
    const int h = PixelHeight();
    if (w == imageWidth_ && h == imageHeight_)
        return;
    // A resized box starts again from its background and picture.
    imageWidth_ = w;
    imageHeight_ = h;
    image_.reset();
}

void PictureBox::setScaleMode(int mode) {
    if (mode < 0 || mode >= static_cast<int>(kTwipsPerUnit.size()) || kTwipsPerUnit[mode] == 0)
        throw PlatformError(kInvalidPropertyValue, "Invalid property value");
    scaleMode_ = mode;
}

double PictureBox::FromPixels(int pixels) const {
    if (scaleMode_ == vbPixels)
        return pixels;
    return pixels * double(kTwipsPerPixel) / kTwipsPerUnit[scaleMode_];
}

int PictureBox::ToPixels(double value) const {
    if (scaleMode_ == vbPixels)
        return RoundToInt(value);
    return RoundToInt(value * kTwipsPerUnit[scaleMode_] / kTwipsPerPixel);
}

double PictureBox::ScaleWidth() const {
    return FromPixels(PixelWidth());
}

double PictureBox::ScaleHeight() const {
    return FromPixels(PixelHeight());
}

void PictureBox::setBorderStyle(int style) {
    if (style != vbBSNone && style != vbFixedSingle)
        throw PlatformError(kInvalidPropertyValue, "Invalid property value");
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    SyncSize();
    changed();
}

void PictureBox::setAutoSize(bool autoSize) {
    if (autoSize_ == autoSize)
        return;
    autoSize_ = autoSize;
    if (autoSize_ && picture_)
        setPicture(picture_);
    else
        changed();
}

void PictureBox::setAutoRedraw(bool autoRedraw) {
    if (autoRedraw_ == autoRedraw)
        return;
    autoRedraw_ = autoRedraw;
    changed();
}

// [SECTION] Colours

void PictureBox::setBackColor(OLE_COLOR color) {
    backColor_ = color;
    Cls();
}

void PictureBox::setForeColor(OLE_COLOR color) {
    foreColor_ = color;
    changed();
}

void PictureBox::setFillColor(OLE_COLOR color) {
    fillColor_ = color;
    changed();
}

// [SECTION] Picture and image

void PictureBox::setPicture(PictureRef picture) {
    picture_ = std::move(picture);
    image_.reset();
    if (autoSize_ && picture_) {
        const int border = borderStyle_ == vbFixedSingle ? 2 * kBorderPixels : 0;
        // Move notifies the hosts.
        SetOuterPixels(picture_->Width() + border, picture_->Height() + border);
        return;
    }
    changed();
}

bool PictureBox::PictureFillsBox() const {
    return picture_ && picture_->Width() == imageWidth_ && picture_->Height() == imageHeight_;
}

void PictureBox::Materialise() {
    image_ = Surface::CreateShared(imageWidth_, imageHeight_,
                                   PixelFromColor(TranslateColor(backColor_)));
    if (!image_ || !picture_)
        return;
    Blit(*image_, 0, 0, picture_->Width(), picture_->Height(), *picture_, 0, 0, SRCCOPY);
    image_->SetProfile(picture_->Profile());
}

const Surface* PictureBox::Readable() {
    if (image_)
        return image_.get();
    if (PictureFillsBox())
        return picture_.get();
    Materialise();
    return image_.get();
}

Surface* PictureBox::Writable() {
    if (!image_) {
        Materialise();
    } else if (image_.use_count() > 1) {
        // A picture object handed out by Image still shows the old pixels.
        image_ = std::make_shared<Surface>(*image_);
    }
    return image_.get();
}

PictureRef PictureBox::Image() {
    if (image_)
        return image_;
    if (PictureFillsBox())
        return picture_;
    Materialise();
    return image_;
}

void PictureBox::Cls() {
    image_.reset();
    changed();
}

void PictureBox::Refresh() {
    changed();
}

void PictureBox::PaintPicture(const PictureRef& picture, double x1, double y1,
                              std::optional<double> width1, std::optional<double> height1,
                              std::optional<double> x2, std::optional<double> y2,
                              std::optional<double> width2, std::optional<double> height2,
                              std::uint32_t opcode) {
    if (!picture)
        throw PlatformError(kInvalidProcedureCall, "Invalid procedure call or argument");
    const int dx = ToPixels(x1);
    const int dy = ToPixels(y1);
    const int dw = width1 ? ToPixels(*width1) : picture->Width();
    const int dh = height1 ? ToPixels(*height1) : picture->Height();
    const int sx = x2 ? ToPixels(*x2) : 0;
    const int sy = y2 ? ToPixels(*y2) : 0;
    const int sw = width2 ? ToPixels(*width2) : picture->Width();
    const int sh = height2 ? ToPixels(*height2) : picture->Height();
    // Keep the source alive and unchanged even when it is this box's own image.
    const PictureRef source = picture;
    Surface* target = Writable();
    if (target == nullptr)
        return;
    if (!StretchBlit(*target, dx, dy, dw, dh, *source, sx, sy, sw, sh, opcode)) {
        if (opcode != SRCCOPY && opcode != SRCAND && opcode != SRCPAINT)
            throw PlatformError(kInvalidProcedureCall, "Invalid procedure call or argument");
        return;
    }
    // A combining operation keeps what was there in every pixel.
    if (opcode == SRCCOPY)
        target->TakeProfileOfPainting(source->Profile(), dx, dy, dw, dh);
}

} // namespace zembra
