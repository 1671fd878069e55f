#pragma once
// A decoded picture file: what the imaging classes hold as an image handle.

#include "platform/surface.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zembra {

// Pixel-format numbers as the imaging classes report them.
inline constexpr int PixelFormat1bppIndexed = 0x00030101;
inline constexpr int PixelFormat4bppIndexed = 0x00030402;
inline constexpr int PixelFormat8bppIndexed = 0x00030803;
inline constexpr int PixelFormat16bppGrayScale = 0x00101004;
inline constexpr int PixelFormat16bppRGB555 = 0x00021005;
inline constexpr int PixelFormat16bppRGB565 = 0x00021006;
inline constexpr int PixelFormat16bppARGB1555 = 0x00061007;
inline constexpr int PixelFormat24bppRGB = 0x00021808;
inline constexpr int PixelFormat32bppRGB = 0x00022009;
inline constexpr int PixelFormat32bppARGB = 0x0026200A;
inline constexpr int PixelFormat32bppPARGB = 0x000E200B;
inline constexpr int PixelFormat48bppRGB = 0x0010300C;
inline constexpr int PixelFormat64bppARGB = 0x0034400D;
inline constexpr int PixelFormat32bppCMYK = 0x0000200F;

// Palette pictures keep their indices, so that a changed palette can be applied
// again. Palette entries are 0xAARRGGBB.
struct IndexedPixels {
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> indices; // one per pixel, rows top to bottom
};

struct GpBitmap {
    explicit GpBitmap(Surface surface) : pixels(std::move(surface)) {}

    Surface pixels;        // straight alpha; carries the file's colour profile
    bool hasAlpha = false; // some pixel may be less than opaque
    int pixelFormat = PixelFormat32bppARGB;
    std::optional<IndexedPixels> indexed;
    // The file's bytes, kept to select another frame or page of it.
    std::shared_ptr<const std::vector<std::uint8_t>> source;
    int frameCount = 1;
};

// Bounds on what a decoder may allocate or spend on one file. Every decoder checks
// the size a header claims against maxPixels before it allocates anything for the
// pixels: 268,435,456 (2^28, e.g. 20000 x 13421) holds the largest camera
// pictures and stitched panoramas, and refuses the 65535 x 65535 headers of
// decompression bombs, whose pixels alone would need 16 GiB.
struct DecodeLimits {
    std::int64_t maxPixels = std::int64_t{1} << 28; // 1 GiB of 32-bit pixels
    int maxJpegScans = 1000;                        // progressive files stall beyond this
};

} // namespace zembra
