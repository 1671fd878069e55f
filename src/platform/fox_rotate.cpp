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

// The turn of a rectangle onto a destination, drawing only the pixels whose sample
// starts in rectangle rows [rowFirst, rowEnd).
void Turn(Surface& dst, double cx, double cy, const SourceRect& rect, double degrees, int rowFirst,
          int rowEnd) {
    const int w = rect.w, h = rect.h;
    const bool whole = rowFirst == 0 && rowEnd == h;
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
    // A band's pixels lie in a slanted strip: each row is searched only where v
    // comes within two rows of the band, and the exact test below decides.
    const double vLow = rowFirst - 2.0, vHigh = rowEnd + 2.0;

    for (int py = y0; py < y1; ++py) {
        auto row = dst.Row(py);
        const double dy = py + 0.5 - cy;
        int from = x0, to = x1;
        if (!whole && std::abs(s) > 1e-9) {
            // v = -s dx + c dy + hh, solved for dx at both ends of the band.
            const double a = (c * dy + hh - vLow) / s, b = (c * dy + hh - vHigh) / s;
            const double left = std::min(a, b) + cx - 0.5, right = std::max(a, b) + cx - 0.5;
            from = static_cast<int>(std::clamp(std::floor(left) - 1, double(x0), double(x1)));
            to = static_cast<int>(std::clamp(std::ceil(right) + 2, double(x0), double(x1)));
        }
        for (int px = from; px < to; ++px) {
            const double dx = px + 0.5 - cx;
            // Turn the pixel centre back by the angle into rectangle coordinates.
            const double u = c * dx + s * dy + hw;
            const double v = -s * dx + c * dy + hh;
            const double cover = Coverage(std::min(u, w - u)) * Coverage(std::min(v, h - v));
            if (cover <= 0)
                continue;
            if (!whole) {
                const double j = std::clamp(std::floor(v - 0.5), 0.0, h - 1.0);
                if (j < rowFirst || j >= rowEnd)
                    continue;
            }
            auto& pixel = row[static_cast<std::size_t>(px)];
            const std::uint32_t sample = rect.Sample(u, v);
            pixel = cover >= 1 ? sample : Mix(pixel, sample, cover);
        }
    }
}

bool DrawableTurn(double cx, double cy, double degrees) {
    return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(degrees);
}

// The destination first: making it writable may copy it, and the source may be it.
bool Surfaces(HDC dst, HDC src, Surface*& target, const Surface*& source) {
    auto* to = DeviceContext::FromHandle(dst);
    auto* from = DeviceContext::FromHandle(src);
    if (to == nullptr || from == nullptr)
        return false;
    target = to->Target();
    source = from->Source();
    return target != nullptr && source != nullptr;
}

} // namespace

bool RotateOnto(Surface& dst, double cx, double cy, const Surface& src, int sx, int sy, int w,
                int h, double degrees) {
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0 || w > src.Width() - sx || h > src.Height() - sy)
        return false;
    if (!DrawableTurn(cx, cy, degrees))
        return false;
    // Turning a surface onto itself reads from a snapshot.
    std::optional<Surface> snapshot;
    if (&src == &dst)
        snapshot.emplace(src);
    Turn(dst, cx, cy, SourceRect{snapshot ? *snapshot : src, sx, sy, w, h}, degrees, 0, h);
    return true;
}

bool RotateBandOnto(Surface& dst, double cx, double cy, const Surface& band, int first, int count,
                    int w, int h, double degrees) {
    if (w <= 0 || h <= 0 || first < 0 || count <= 0 || count > h - first)
        return false;
    const int held = count + (first + count < h ? 1 : 0);
    if (w > band.Width() || held > band.Height() || &band == &dst)
        return false;
    if (!DrawableTurn(cx, cy, degrees))
        return false;
    // Rectangle row j is the band's row j - first.
    Turn(dst, cx, cy, SourceRect{band, 0, -first, w, h}, degrees, first, first + count);
    return true;
}

int FoxRotate(HDC dst, int cx, int cy, int w, int h, HDC src, int sx, int sy, double degrees,
              int reserved1, int reserved2) {
    if (reserved1 != 0 || reserved2 != 0)
        return 0;
    Surface* target = nullptr;
    const Surface* source = nullptr;
    if (!Surfaces(dst, src, target, source))
        return 0;
    return RotateOnto(*target, cx, cy, *source, sx, sy, w, h, degrees) ? 1 : 0;
}

int FoxRotateBand(HDC dst, int cx, int cy, HDC band, int first, int count, int w, int h,
                  double degrees) {
    Surface* target = nullptr;
    const Surface* source = nullptr;
    if (!Surfaces(dst, band, target, source))
        return 0;
    return RotateBandOnto(*target, cx, cy, *source, first, count, w, h, degrees) ? 1 : 0;
}

} // namespace zembra
