#include "watermark/transparency.h"

#include "imaging/bitmap.h"
#include "platform/raster_ops.h"
#include "platform/steps.h"
#include "watermark/colour_key.h"
#include "watermark/picture_drawing.h"

#include <array>

namespace zembra {

std::uint8_t WashAlpha(int slider) {
    const int alpha = 200 - 65 * slider;
    if (alpha < 0 || alpha > 255)
        throw PlatformError(kOverflow, "Overflow");
    return static_cast<std::uint8_t>(alpha);
}

std::uint32_t PackedBlend(std::uint8_t alpha) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    return std::uint32_t{blend.BlendOp} | std::uint32_t{blend.BlendFlags} << 8 |
           std::uint32_t{blend.SourceConstantAlpha} << 16 | std::uint32_t{blend.AlphaFormat} << 24;
}

std::optional<std::string> TransparencyCaption(int slider) {
    static constexpr std::array<const char*, 4> kCaptions = {"75% Transparency", "50% Transparency",
                                                             "25% Transparency", "0% Transparency"};
    if (slider < 0 || slider >= static_cast<int>(kCaptions.size()))
        return std::nullopt;
    return kCaptions[static_cast<std::size_t>(slider)];
}

void LoadWatermark(const WatermarkControls& c, const std::string& file) {
    cBitmap image;
    Step([&] { image.LoadFromFile(file); });
    // One decode gives both the natural size and the pixels.
    Step([&] { c.Image3.setPicture(image.Picture()); });
    Step([&] {
        c.Picture5.setWidth(c.Image3.Width());
        c.Picture5.setHeight(c.Image3.Height());
    });
    // Transparent parts of the file are laid over Picture5's black.
    Step([&] {
        if (image.Handle() != nullptr)
            DrawAtOwnSize(c.Picture5, image);
    });
}

void PrepareWatermark(const WatermarkControls& c, const std::string& file, int slider,
                      Services& services) {
    Step([&] { c.Picture5.setPicture(nullptr); });
    LoadWatermark(c, file);
    // The wash covers the watermark one to one; it is one colour, so its height
    // does not change the blend.
    Step([&] {
        c.Picture8.setWidth(c.Picture5.Width());
        c.Picture8.setHeight(c.Picture5.Height());
    });
    services.DoEvents();
    std::uint32_t blend = 0;
    Step([&] { blend = PackedBlend(WashAlpha(slider)); });
    Step([&] { SetNeutralColours(c.Picture8, LightKey(c.Picture5.hDC())); });
    Step([&] {
        AlphaBlend(c.Picture5.hDC(), 0, 0, c.Picture5.PixelWidth(), c.Picture5.PixelHeight(),
                   c.Picture8.hDC(), 0, 0, c.Picture8.PixelWidth(), c.Picture8.PixelHeight(),
                   BLENDFUNCTION::FromValue(blend));
    });
    Step([&] {
        c.Picture5.Refresh();
        c.Image3.setPicture(nullptr);
    });
}

} // namespace zembra
