#pragma once
// Raster operations on surfaces and on device-context handles. Every operation
// clips first: only pixels that lie inside the destination surface and whose
// source pixel lies inside the source surface are touched; the rest of the
// destination keeps its colour. Coordinates are pixels.

#include "platform/device_context.h"
#include "platform/surface.h"

#include <cstdint>

namespace zembra {

// Raster operation codes of the window system.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020u;  // dest = source
inline constexpr std::uint32_t SRCAND = 0x008800C6u;   // dest = dest AND source
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086u; // dest = dest OR source

inline constexpr std::uint8_t AC_SRC_OVER = 0;
inline constexpr std::uint8_t AC_SRC_ALPHA = 1;

struct BLENDFUNCTION {
    std::uint8_t BlendOp = AC_SRC_OVER;
    std::uint8_t BlendFlags = 0;
    std::uint8_t SourceConstantAlpha = 255;
    std::uint8_t AlphaFormat = 0;

    // The four bytes packed into one 32-bit value, BlendOp in the lowest byte, the
    // way callers hand it over by value.
    static constexpr BLENDFUNCTION FromValue(std::uint32_t value) {
        return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    }
};

// [SECTION] On surfaces

// The source position that position i of a dn-long stretch over sn source positions
// takes (0 <= i < dn): floor((2i + 1) * sn / (2 dn)), the one under its centre.
constexpr std::int64_t PointSample(std::int64_t i, std::int64_t dn, std::int64_t sn) {
    // Both factors stay below 2^32, so the product fits in 64 bits.
    return static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(2 * i + 1) * static_cast<std::uint64_t>(sn)) /
        static_cast<std::uint64_t>(2 * dn));
}

// Copies or combines w x h pixels of src at (sx, sy) onto dst at (dx, dy). src may
// be dst itself, overlapping or not. False for an unknown raster operation or a
// negative size; nothing is drawn then.
bool Blit(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
          std::uint32_t rop);

// Stretches the sw x sh source rectangle over the dw x dh destination rectangle. A
// copy is resampled through the Lanczos filter of resample.h, reading only source
// pixels inside the source surface; SRCAND and SRCPAINT, which combine masks,
// take the source pixel under each destination pixel's centre, floor((2i + 1) *
// sw / (2 dw)), unfiltered. Either way the destination pixels drawn are those
// whose centre's source pixel lies inside the source surface. A negative width or
// height mirrors along that axis. False for an unknown raster operation or a zero
// size.
bool StretchBlit(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                 int sw, int sh, std::uint32_t rop);

// Blends the source rectangle, stretched (filtered) as StretchBlit copies, over the
// destination.
// With AlphaFormat 0 every channel becomes (a * s + (255 - a) * d) / 255 rounded to
// nearest (255 is odd, so there are no halves), a = SourceConstantAlpha. With
// AC_SRC_ALPHA the source is taken as premultiplied: s' = s * a / 255 and
// d = s' + d * (255 - alpha(s')) / 255, each step rounded to nearest. False, with
// nothing drawn, when the source rectangle does not lie wholly inside the source
// surface, a size is not positive or the blend description is not a known one.
bool BlendOver(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
               int sw, int sh, BLENDFUNCTION blend);

// Sets every pixel of the rectangle, clipped to the surface, to pixel.
void FillPixels(Surface& dst, int x, int y, int w, int h, std::uint32_t pixel);

// The colour at (x, y), CLR_INVALID outside the surface.
COLORREF PixelColor(const Surface& surface, int x, int y);

// [SECTION] On device contexts
// These fail (false, CLR_INVALID) for a handle that names no context or a context
// with nothing to draw into.

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, std::uint32_t rop);
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                std::uint32_t rop);
bool AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);
COLORREF GetPixel(HDC dc, int x, int y);
bool FillSolid(HDC dc, int x, int y, int w, int h, COLORREF color);

} // namespace zembra
