#pragma once
// Reduces a picture to at most 256 colours for the GIF encoder: the picture's own
// colours when it has few enough, otherwise an adaptive palette.

#include "platform/surface.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zembra {

struct QuantizedPicture {
    std::vector<std::uint32_t> palette; // opaque 0xFFRRGGBB entries
    std::vector<std::uint8_t> indices;  // one per pixel, rows top to bottom
};

// Exact when the picture has at most maxColors colours. Otherwise the colours are
// split into maxColors boxes, each time cutting the box with the largest squared
// error where the two halves' error is smallest (a variance-minimising median
// cut), and every pixel takes the box mean nearest to it.
QuantizedPicture Quantize(const Surface& picture, int maxColors = 256);

// Indices of the palette entries nearest (in RGB distance) to each pixel.
std::vector<std::uint8_t> MapToPalette(const Surface& picture,
                                       std::span<const std::uint32_t> palette);

} // namespace zembra
