#pragma once
// placewatermark: draws the current picture with the watermark on it into
// Picture4. The watermark (Picture5, prepared by the transparency step) is used at
// its own size, or stretched or shrunk to the picture's width, or for "Corner to
// Corner" stretched to the length of the diagonal and turned onto it; the colour
// key decides whether it is combined with the picture by AND or by OR.

#include "imaging/status.h"
#include "platform/services.h"
#include "watermark/watermark_controls.h"

#include <cstdint>
#include <string>

namespace zembra {

// Left edge of a watermark Ws wide on a picture W wide: centred, halves rounded to
// even. Throws PlatformError (overflow) outside 16 bits.
std::int16_t WatermarkLeft(int W, int Ws);
// Top edge by alignment: "Top" 0, "Center" (H - Hs) / 2 rounded to even, "Bottom"
// and "Corner to Corner" H - Hs; 0 for no alignment. Throws as WatermarkLeft does.
std::int16_t WatermarkTop(int alignment, int H, int Hs);

// Draws `picture` (the current picture's file) with the watermark into Picture4
// and fits Image1 to it; the caller shows Picture4's image or takes it on. While
// Label28 reads "[Browse]" it only says "Please select watermark image" and shows
// the plain picture in Image1. Failing steps are left out; no other message, but
// `onError` hears why the picture did not load. True when Picture4 holds the
// picture, whatever became of the watermark: otherwise it holds an earlier one.
// An EXIF `orientation` other than 1 turns the picture upright before the
// watermark is placed on it.
bool PlaceWatermark(const WatermarkControls& c, const std::string& picture, Services& services,
                    ErrorEvent::Listener onError = {}, int orientation = 1);

} // namespace zembra
