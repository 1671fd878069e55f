#include "imaging/draw_image.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zembra {

Affine Affine::Then(const Affine& b) const {
    Affine r;
    r.m11 = m11 * b.m11 + m12 * b.m21;
    r.m12 = m11 * b.m12 + m12 * b.m22;
    r.m21 = m21 * b.m11 + m22 * b.m21;
    r.m22 = m21 * b.m12 + m22 * b.m22;
    r.dx = dx * b.m11 + dy * b.m21 + b.dx;
    r.dy = dx * b.m12 + dy * b.m22 + b.dy;
    return r;
}

Affine Affine::Rotation(double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    return Affine{c, s, -s, c, 0, 0};
}

Affine Affine::Translation(double x, double y) {
    return Affine{1, 0, 0, 1, x, y};
}

std::uint32_t Over(std::uint32_t dst, std::uint32_t src) {
    const std::uint32_t a = src >> 24;
    if (a == 255)
        return src;
    if (a == 0)
        return dst;
    const std::uint32_t da = dst >> 24;
    // Everything scaled by 255 * 255 so the only division is the final one.
    const std::uint32_t outA = a * 255 + da * (255 - a);
    std::uint32_t out = ((outA + 127) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t s = (src >> shift) & 0xFF;
        const std::uint32_t d = (dst >> shift) & 0xFF;
        const std::uint32_t num = s * a * 255 + d * da * (255 - a);
        out |= ((num + outA / 2) / outA) << shift;
    }
    return out;
}

namespace {

bool IntegralTranslation(const Affine& m) {
    return m.m11 == 1 && m.m12 == 0 && m.m21 == 0 && m.m22 == 1 && m.dx == std::floor(m.dx) &&
           m.dy == std::floor(m.dy);
}

bool Integral(const RectD& r) {
    return r.x == std::floor(r.x) && r.y == std::floor(r.y) && r.width == std::floor(r.width) &&
           r.height == std::floor(r.height);
}

// Source rectangle clipped to the image, in whole pixels.
struct SourceArea {
    int x0, y0, x1, y1; // [x0, x1) x [y0, y1)
};

SourceArea Clip(const RectD& from, const Surface& image) {
    SourceArea a;
    a.x0 = static_cast<int>(std::clamp(std::floor(from.x), 0.0, double(image.Width())));
    a.y0 = static_cast<int>(std::clamp(std::floor(from.y), 0.0, double(image.Height())));
    a.x1 = static_cast<int>(std::clamp(std::ceil(from.x + from.width), 0.0, double(image.Width())));
    a.y1 =
        static_cast<int>(std::clamp(std::ceil(from.y + from.height), 0.0, double(image.Height())));
    return a;
}

std::uint32_t Premultiply(std::uint32_t p, double& a, double& r, double& g, double& b) {
    a = p >> 24;
    r = ((p >> 16) & 0xFF) * a;
    g = ((p >> 8) & 0xFF) * a;
    b = (p & 0xFF) * a;
    return p;
}

// Bilinear sample at (u, v) in source pixels, edges clamped to the area; weights
// apply to premultiplied colour so transparent neighbours do not darken edges.
std::uint32_t Bilinear(const Surface& image, const SourceArea& area, double u, double v) {
    u -= 0.5;
    v -= 0.5;
    const double fu = std::floor(u), fv = std::floor(v);
    const double tx = u - fu, ty = v - fv;
    double A = 0, R = 0, G = 0, B = 0;
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            const int x = std::clamp(static_cast<int>(fu) + i, area.x0, area.x1 - 1);
            const int y = std::clamp(static_cast<int>(fv) + j, area.y0, area.y1 - 1);
            const double w = (i ? tx : 1 - tx) * (j ? ty : 1 - ty);
            double a, r, g, b;
            Premultiply(image.At(x, y), a, r, g, b);
            A += w * a;
            R += w * r;
            G += w * g;
            B += w * b;
        }
    }
    if (A <= 0)
        return 0;
    const auto channel = [A](double c) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(c / A), 0L, 255L));
    };
    const auto alpha = static_cast<std::uint32_t>(std::clamp(std::lround(A), 0L, 255L));
    return (alpha << 24) | (channel(R) << 16) | (channel(G) << 8) | channel(B);
}

} // namespace

void DrawImage(Surface& target, const GpBitmap& image, const RectD& to, const RectD& from,
               const Affine& world, bool smooth) {
    if (!(to.width > 0 && to.height > 0 && from.width > 0 && from.height > 0))
        return;
    const Surface& src = image.pixels;
    const SourceArea area = Clip(from, src);
    if (area.x1 <= area.x0 || area.y1 <= area.y0)
        return;
    const bool sameSize = to.width == from.width && to.height == from.height;

    if (IntegralTranslation(world) && Integral(to) && Integral(from) && (sameSize || !smooth)) {
        // Whole pixels onto whole pixels: the destination pixel i takes source pixel
        // floor((2i + 1) sw / 2dw), the one under its centre, as the stretch copy does.
        const auto dx = static_cast<std::int64_t>(to.x + world.dx);
        const auto dy = static_cast<std::int64_t>(to.y + world.dy);
        const auto dw = static_cast<std::int64_t>(to.width),
                   dh = static_cast<std::int64_t>(to.height);
        const auto sx = static_cast<std::int64_t>(from.x), sy = static_cast<std::int64_t>(from.y);
        const auto sw = static_cast<std::int64_t>(from.width),
                   sh = static_cast<std::int64_t>(from.height);
        const std::int64_t i0 = std::max<std::int64_t>(0, -dx),
                           i1 = std::min<std::int64_t>(dw, target.Width() - dx);
        const std::int64_t j0 = std::max<std::int64_t>(0, -dy),
                           j1 = std::min<std::int64_t>(dh, target.Height() - dy);
        for (std::int64_t j = j0; j < j1; ++j) {
            const std::int64_t y = sy + (2 * j + 1) * sh / (2 * dh);
            if (y < area.y0 || y >= area.y1)
                continue;
            auto out = target.Row(static_cast<int>(dy + j));
            auto in = src.Row(static_cast<int>(y));
            for (std::int64_t i = i0; i < i1; ++i) {
                const std::int64_t x = sx + (2 * i + 1) * sw / (2 * dw);
                if (x < area.x0 || x >= area.x1)
                    continue;
                auto& d = out[static_cast<std::size_t>(dx + i)];
                d = Over(d, in[static_cast<std::size_t>(x)]);
            }
        }
        return;
    }

    // Any other transform: walk the covered pixels and map each centre back.
    const double corners[4][2] = {{to.x, to.y},
                                  {to.x + to.width, to.y},
                                  {to.x, to.y + to.height},
                                  {to.x + to.width, to.y + to.height}};
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const auto& c : corners) {
        const double x = world.m11 * c[0] + world.m21 * c[1] + world.dx;
        const double y = world.m12 * c[0] + world.m22 * c[1] + world.dy;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const double det = world.m11 * world.m22 - world.m12 * world.m21;
    if (det == 0 || !std::isfinite(det))
        return;
    const int px0 = static_cast<int>(std::clamp(std::floor(minX), 0.0, double(target.Width())));
    const int px1 = static_cast<int>(std::clamp(std::ceil(maxX), 0.0, double(target.Width())));
    const int py0 = static_cast<int>(std::clamp(std::floor(minY), 0.0, double(target.Height())));
    const int py1 = static_cast<int>(std::clamp(std::ceil(maxY), 0.0, double(target.Height())));
    const double sxScale = from.width / to.width, syScale = from.height / to.height;
    for (int py = py0; py < py1; ++py) {
        auto out = target.Row(py);
        for (int px = px0; px < px1; ++px) {
            // Inverse transform of the pixel centre into world coordinates.
            const double cx = px + 0.5 - world.dx, cy = py + 0.5 - world.dy;
            const double wx = (world.m22 * cx - world.m21 * cy) / det;
            const double wy = (-world.m12 * cx + world.m11 * cy) / det;
            if (wx < to.x || wy < to.y || wx >= to.x + to.width || wy >= to.y + to.height)
                continue;
            const double u = from.x + (wx - to.x) * sxScale;
            const double v = from.y + (wy - to.y) * syScale;
            std::uint32_t s;
            if (smooth) {
                s = Bilinear(src, area, u, v);
            } else {
                const int x = static_cast<int>(std::floor(u)), y = static_cast<int>(std::floor(v));
                if (x < area.x0 || x >= area.x1 || y < area.y0 || y >= area.y1)
                    continue;
                s = src.At(x, y);
            }
            auto& d = out[static_cast<std::size_t>(px)];
            d = Over(d, s);
        }
    }
}

} // namespace zembra
