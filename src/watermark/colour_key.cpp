#include "watermark/colour_key.h"

#include "platform/raster_ops.h"

namespace zembra {

bool LightKey(HDC watermark) {
    const COLORREF colour = GetPixel(watermark, 1, 1);
    return static_cast<std::int16_t>(colour & 0xFFFFu) == -1;
}

std::uint32_t KeyRasterOp(bool light) {
    return light ? SRCAND : SRCPAINT;
}

OLE_COLOR NeutralColour(bool light) {
    return light ? 0xFFFFFFu : 0x80000000u | COLOR_BTNTEXT;
}

void SetNeutralColours(PictureBox& box, bool light) {
    const OLE_COLOR colour = NeutralColour(light);
    box.setBackColor(colour);
    box.setFillColor(colour);
    box.setForeColor(colour);
}

} // namespace zembra
