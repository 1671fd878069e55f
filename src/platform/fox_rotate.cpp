#include "platform/fox_rotate.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace zembra {

namespace {

// Rounds a channel value in [0, 255] to nearest.
std::uint32_t Round(double channel) {
    return static_cast<std::uint32_t>(channel + 0.5);
}

// a + (b - a) * t per byte, rounded to nearest.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double ca = (a >> shift) & 0xFFu;
        const double cb = (b >> shift) & 0xFFu;
        out |= Round(ca + (cb - ca) * t) << shift;
    }
    return out;
}

// The rectangle of a surface that the rotation reads, sampled bilinearly with its
// edges clamped, so the outermost pixels are not blended with what lies beyond.
struct SourceRect {
    const Surface& surface;
    int x, y, w, h;

    std::uint32_t At(int i, int j) const {
        i = std::clamp(i, 0, w - 1);
        j = std::clamp(j, 0, h - 1);
        return surface.At(x + i, y + j);
    }
    // (u, v) in rectangle coordinates: pixel i covers [i, i + 1).
    std::uint32_t Sample(double u, double v) const {
        u -= 0.5;
        v -= 0.5;
        const double fu = std::floor(u), fv = std::floor(v);
        const int i = static_cast<int>(fu), j = static_cast<int>(fv);
        const double tu = u - fu, tv = v - fv;
        const std::uint32_t p00 = At(i, j), p10 = At(i + 1, j);
        const std::uint32_t p01 = At(i, j + 1), p11 = At(i + 1, j + 1);
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const auto c = [shift](std::uint32_t p) { return double((p >> shift) & 0xFFu); };
            const double top = c(p00) + (c(p10) - c(p00)) * tu;
            const double bottom = c(p01) + (c(p11) - c(p01)) * tu;
            out |= Round(top + (bottom - top) * tv) << shift;
        }
        return out;
    }
};

// How much of a pixel whose centre lies `inside` pixels within an edge the
// rectangle covers (negative = outside), from 0 to 1.
double Coverage(double inside) {
    return std::clamp(inside + 0.5, 0.0, 1.0);
}

} // namespace

bool RotateOnto(Surface& dst, double cx, double cy, const Surface& src, int sx, int sy, int w,
                int h, double degrees) {
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0 || w > src.Width() - sx || h > src.Height() - sy)
        return false;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(degrees))
        return false;
    // Turning a surface onto itself reads from a snapshot.
    std::optional<Surface> snapshot;
    if (&src == &dst)
        snapshot.emplace(src);
    const SourceRect rect{snapshot ? *snapshot : src, sx, sy, w, h};

    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const double hw = w / 2.0, hh = h / 2.0;
    // Half the turned rectangle's bounding box, plus the pixel that an edge may touch.
    const double reachX = std::abs(c) * hw + std::abs(s) * hh + 1;
    const double reachY = std::abs(s) * hw + std::abs(c) * hh + 1;
    const int x0 = static_cast<int>(std::clamp(std::floor(cx - reachX), 0.0, double(dst.Width())));
    const int x1 = static_cast<int>(std::clamp(std::ceil(cx + reachX), 0.0, double(dst.Width())));
    const int y0 = static_cast<int>(std::clamp(std::floor(cy - reachY), 0.0, double(dst.Height())));
    const int y1 = static_cast<int>(std::clamp(std::ceil(cy + reachY), 0.0, double(dst.Height())));

    for (int py = y0; py < y1; ++py) {
        auto row = dst.Row(py);
        const double dy = py + 0.5 - cy;
        for (int px = x0; px < x1; ++px) {
            const double dx = px + 0.5 - cx;
            // Turn the pixel centre back by the angle into rectangle coordinates.
            const double u = c * dx + s * dy + hw;
            const double v = -s * dx + c * dy + hh;
            const double cover = Coverage(std::min(u, w - u)) * Coverage(std::min(v, h - v));
            if (cover <= 0)
                continue;
            auto& pixel = row[static_cast<std::size_t>(px)];
            const std::uint32_t sample = rect.Sample(u, v);
            pixel = cover >= 1 ? sample : Mix(pixel, sample, cover);
        }
    }
    return true;
}

int FoxRotate(HDC dst, int cx, int cy, int w, int h, HDC src, int sx, int sy, double degrees,
              int reserved1, int reserved2) {
    if (reserved1 != 0 || reserved2 != 0)
        return 0;
    auto* to = DeviceContext::FromHandle(dst);
    auto* from = DeviceContext::FromHandle(src);
    if (to == nullptr || from == nullptr)
        return 0;
    // The destination first: making it writable may copy it, and the source may be it.
    Surface* target = to->Target();
    const Surface* source = from->Source();
    if (target == nullptr || source == nullptr)
        return 0;
    return RotateOnto(*target, cx, cy, *source, sx, sy, w, h, degrees) ? 1 : 0;
}

} // namespace zembra
