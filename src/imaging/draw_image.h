#pragma once
// Drawing a decoded picture onto a surface the way the graphics objects do: source
// rectangle onto destination rectangle through a world transform, transparent
// parts laid over what the surface holds.

#include "imaging/gp_bitmap.h"
#include "platform/surface.h"

namespace zembra {

// A 2-D affine transform of row vectors: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    bool IsIdentity() const {
        return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0;
    }
    // This transform followed by `then`.
    Affine Then(const Affine& then) const;
    static Affine Rotation(double degrees);
    static Affine Translation(double x, double y);
};

struct RectD {
    double x, y, width, height;
};

// Straight-alpha `src` over `dst` (which may itself be transparent), each channel
// rounded to nearest. Over an opaque pixel this is (s a + d (255 - a)) / 255.
std::uint32_t Over(std::uint32_t dst, std::uint32_t src);

// Draws the part `from` of the image onto `to` in world coordinates, mapped to the
// surface by `world`. Without smoothing each covered pixel takes the source pixel
// under its centre; with it, the four nearest are weighted by distance. A zero or
// negative size draws nothing.
void DrawImage(Surface& target, const GpBitmap& image, const RectD& to, const RectD& from,
               const Affine& world, bool smooth);

} // namespace zembra
