#pragma once
// settrans: prepares the watermark surface Picture5 from the chosen file and makes
// it fainter by the transparency slider. A uniform wash of the key's neutral colour
// (white for a light key, button text for a dark one) is blended over the whole
// watermark: the stronger the wash, the less the watermark marks a picture.

#include "platform/services.h"
#include "watermark/watermark_controls.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zembra {

// Opacity of the wash for a slider value: 200 - 65 x value, so 200, 135, 70 and 5
// for 0 to 3 (a faint wash remains at 3). Throws PlatformError (overflow) for a
// value that leaves a byte.
std::uint8_t WashAlpha(int slider);

// The blend description with that constant opacity, its four bytes packed into
// one value the way AlphaBlend takes it by value: operation "source over", no
// flags, the opacity, no per-pixel alpha.
std::uint32_t PackedBlend(std::uint8_t alpha);

// The caption that tells what a slider value means; none for other values.
std::optional<std::string> TransparencyCaption(int slider);

// Draws the watermark file into Picture5 at its own size, over black: Image3
// learns the file's size and Picture5 takes it. Steps that fail are left out.
void LoadWatermark(const WatermarkControls& c, const std::string& file);

// Picture5 loaded from `file` and washed for the slider value. Steps that fail are
// left out: an unreadable file leaves Picture5 as the resize left it, washed.
void PrepareWatermark(const WatermarkControls& c, const std::string& file, int slider,
                      Services& services);

} // namespace zembra
