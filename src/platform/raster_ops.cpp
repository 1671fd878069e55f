#include "platform/raster_ops.h"

#include "platform/resample.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

namespace zembra {

namespace {

// [SECTION] Pixel combiners: one functor per raster operation, applied by the
// row loops below.

struct CopyOp {
    std::uint32_t operator()(std::uint32_t, std::uint32_t s) const { return s; }
};
struct AndOp {
    std::uint32_t operator()(std::uint32_t d, std::uint32_t s) const { return d & s; }
};
struct OrOp {
    std::uint32_t operator()(std::uint32_t d, std::uint32_t s) const { return d | s; }
};

// (a * s + (255 - a) * d) / 255 per byte, rounded to nearest.
struct ConstantAlphaOp {
    std::uint32_t alpha;
    std::uint32_t operator()(std::uint32_t d, std::uint32_t s) const {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const std::uint32_t sc = (s >> shift) & 0xFFu;
            const std::uint32_t dc = (d >> shift) & 0xFFu;
            out |= ((alpha * sc + (255 - alpha) * dc + 127) / 255) << shift;
        }
        return out;
    }
};

// Premultiplied source scaled by the constant alpha, then laid over the destination.
struct PremultipliedOp {
    std::uint32_t alpha;
    std::uint32_t operator()(std::uint32_t d, std::uint32_t s) const {
        const std::uint32_t sa = ((s >> 24) * alpha + 127) / 255;
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const std::uint32_t sc = (((s >> shift) & 0xFFu) * alpha + 127) / 255;
            const std::uint32_t dc = (d >> shift) & 0xFFu;
            const std::uint32_t v = sc + (dc * (255 - sa) + 127) / 255;
            out |= std::min<std::uint32_t>(v, 255) << shift;
        }
        return out;
    }
};

// Calls fn with the combiner of a raster operation; false for unknown codes.
template <class Fn> bool WithRop(std::uint32_t rop, Fn&& fn) {
    switch (rop) {
    case SRCCOPY:
        fn(CopyOp{});
        return true;
    case SRCAND:
        fn(AndOp{});
        return true;
    case SRCPAINT:
        fn(OrOp{});
        return true;
    default:
        return false;
    }
}

// One axis of a stretch after clipping: destination positions [first, first +
// size()) take the source positions listed.
struct AxisMap {
    std::int64_t first = 0;
    std::vector<int> source;
};

// Maps destination positions d0 .. d0 + dn - 1 onto source positions s0 .. s0 + sn - 1
// (dn, sn > 0), clipped to [0, dstLimit) and [0, srcLimit).
AxisMap MapAxis(std::int64_t d0, std::int64_t dn, std::int64_t s0, std::int64_t sn, bool flip,
                int dstLimit, int srcLimit) {
    AxisMap map;
    const std::int64_t lo = std::max<std::int64_t>(0, -d0);
    const std::int64_t hi = std::min<std::int64_t>(dn, dstLimit - d0);
    for (std::int64_t i = lo; i < hi; ++i) {
        const std::int64_t offset = PointSample(i, dn, sn);
        const std::int64_t s = s0 + (flip ? sn - 1 - offset : offset);
        if (s < 0 || s >= srcLimit) {
            // The mapping is monotonic, so the valid positions form one run.
            if (!map.source.empty())
                break;
            continue;
        }
        if (map.source.empty())
            map.first = d0 + i;
        map.source.push_back(static_cast<int>(s));
    }
    return map;
}

// Normalises a negative extent into a positive one plus a mirror flag.
void Normalise(std::int64_t& origin, std::int64_t& extent, bool& flip) {
    if (extent < 0) {
        origin += extent;
        extent = -extent;
        flip = !flip;
    }
}

template <class Op>
void StretchRows(Surface& dst, const AxisMap& cols, const AxisMap& rows, const Surface& src,
                 Op op) {
    const auto width = cols.source.size();
    for (std::size_t r = 0; r < rows.source.size(); ++r) {
        auto d = dst.Row(static_cast<int>(rows.first + static_cast<std::int64_t>(r)))
                     .subspan(static_cast<std::size_t>(cols.first), width);
        if constexpr (std::is_same_v<Op, CopyOp>) {
            // Enlarging repeats source rows: copy the row just made.
            if (r > 0 && rows.source[r] == rows.source[r - 1]) {
                const auto above =
                    dst.Row(static_cast<int>(rows.first + static_cast<std::int64_t>(r) - 1))
                        .subspan(static_cast<std::size_t>(cols.first), width);
                std::memcpy(d.data(), above.data(), width * sizeof(std::uint32_t));
                continue;
            }
        }
        const std::uint32_t* s = src.Row(rows.source[r]).data();
        const int* from = cols.source.data();
        for (std::size_t c = 0; c < width; ++c)
            d[c] = op(d[c], s[from[c]]);
    }
}

// The filter for the destination positions a clipped axis touches: windows are
// kept to the source positions inside the source surface, and placed (mirrored
// when flipped) onto absolute source positions.
AxisFilter FilterAxis(const AxisMap& map, std::int64_t d0, std::int64_t dn, std::int64_t s0,
                      std::int64_t sn, bool flip, int srcLimit) {
    const std::int64_t lo = flip ? s0 + sn - srcLimit : -s0;
    const std::int64_t hi = flip ? s0 + sn : srcLimit - s0;
    const std::int64_t first = map.first - d0;
    AxisFilter filter(dn, sn, first, first + static_cast<std::int64_t>(map.source.size()),
                      std::max<std::int64_t>(0, lo), std::min(sn, hi));
    filter.Place(s0, sn, flip);
    return filter;
}

// The filtered counterpart of StretchRows: the clipped block is resampled first,
// down then across as a streamed resize does, so both give the same pixels; then
// it is combined into the destination pixel by pixel.
template <class Op>
void FilterRows(Surface& dst, const AxisMap& cols, const AxisMap& rows, const AxisFilter& across,
                const AxisFilter& down, const Surface& src, Op op) {
    const auto width = cols.source.size();
    const int left = across.Lowest();
    const auto span = static_cast<std::size_t>(across.Highest() - left + 1);
    // The vertical pass covers only the source columns the windows across read.
    AxisFilter shifted = across;
    shifted.Place(-left, 0, false);
    std::vector<const std::uint32_t*> window;
    std::vector<std::uint32_t> column(span), line(width);
    for (int r = 0; r < down.Size(); ++r) {
        window.clear();
        for (int k = 0; k < down.Count(r); ++k)
            window.push_back(src.Row(down.First(r) + k).data() + left);
        FilterColumns(window.data(), down.Weights(r), down.Count(r), column.data(),
                      static_cast<int>(span));
        FilterRow(column.data(), line.data(), shifted);
        auto d = dst.Row(static_cast<int>(rows.first + r))
                     .subspan(static_cast<std::size_t>(cols.first), width);
        for (std::size_t c = 0; c < width; ++c)
            d[c] = op(d[c], line[c]);
    }
}

// Raster operations that combine masks bit by bit are sampled, never filtered: a
// filtered mask would grow colours that are neither key nor picture.
template <class Op>
constexpr bool kFiltered = !std::is_same_v<Op, AndOp> && !std::is_same_v<Op, OrOp>;

// Runs a stretch after the arguments are checked; src may alias dst.
template <class Op>
void Stretch(Surface& dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
             const Surface& src, std::int64_t sx, std::int64_t sy, std::int64_t sw, std::int64_t sh,
             Op op) {
    bool flipX = false, flipY = false;
    Normalise(dx, dw, flipX);
    Normalise(sx, sw, flipX);
    Normalise(dy, dh, flipY);
    Normalise(sy, sh, flipY);
    const AxisMap cols = MapAxis(dx, dw, sx, sw, flipX, dst.Width(), src.Width());
    const AxisMap rows = MapAxis(dy, dh, sy, sh, flipY, dst.Height(), src.Height());
    if (cols.source.empty() || rows.source.empty())
        return;
    // Drawing a surface onto itself reads from a snapshot, so no pixel is read
    // after it was written.
    std::optional<Surface> snapshot;
    if (&src == &dst)
        snapshot.emplace(src);
    const Surface& from = snapshot ? *snapshot : src;
    if constexpr (kFiltered<Op>) {
        if (dw != sw || dh != sh) {
            const AxisFilter across = FilterAxis(cols, dx, dw, sx, sw, flipX, src.Width());
            const AxisFilter down = FilterAxis(rows, dy, dh, sy, sh, flipY, src.Height());
            FilterRows(dst, cols, rows, across, down, from, op);
            return;
        }
    }
    StretchRows(dst, cols, rows, from, op);
}

} // namespace

// [SECTION] On surfaces

bool Blit(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
          std::uint32_t rop) {
    if (w < 0 || h < 0)
        return false;
    // Clip in 64 bits: coordinates near the int limits must not wrap.
    const std::int64_t ox = std::max<std::int64_t>({0, -std::int64_t{dx}, -std::int64_t{sx}});
    const std::int64_t oy = std::max<std::int64_t>({0, -std::int64_t{dy}, -std::int64_t{sy}});
    const std::int64_t ex =
        std::min<std::int64_t>({w, std::int64_t{dst.Width()} - dx, std::int64_t{src.Width()} - sx});
    const std::int64_t ey = std::min<std::int64_t>(
        {h, std::int64_t{dst.Height()} - dy, std::int64_t{src.Height()} - sy});
    return WithRop(rop, [&](auto op) {
        if (ex <= ox || ey <= oy)
            return;
        const auto width = static_cast<std::size_t>(ex - ox);
        const auto rowsDown = [&](const Surface& from) {
            for (std::int64_t r = oy; r < ey; ++r) {
                auto d = dst.Row(static_cast<int>(dy + r))
                             .subspan(static_cast<std::size_t>(dx + ox), width);
                auto s = from.Row(static_cast<int>(sy + r))
                             .subspan(static_cast<std::size_t>(sx + ox), width);
                if constexpr (std::is_same_v<decltype(op), CopyOp>) {
                    std::memmove(d.data(), s.data(), width * sizeof(std::uint32_t));
                } else {
                    for (std::size_t c = 0; c < width; ++c)
                        d[c] = op(d[c], s[c]);
                }
            }
        };
        if (&src == &dst) {
            const Surface copy = src;
            rowsDown(copy);
        } else {
            rowsDown(src);
        }
    });
}

bool StretchBlit(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                 int sw, int sh, std::uint32_t rop) {
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0)
        return false;
    return WithRop(rop, [&](auto op) { Stretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, op); });
}

bool BlendOver(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
               int sw, int sh, BLENDFUNCTION blend) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return false;
    if (sx < 0 || sy < 0 || sw > src.Width() - sx || sh > src.Height() - sy)
        return false;
    if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0)
        return false;
    if (blend.AlphaFormat == 0) {
        Stretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh,
                ConstantAlphaOp{blend.SourceConstantAlpha});
        return true;
    }
    if (blend.AlphaFormat == AC_SRC_ALPHA) {
        Stretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh,
                PremultipliedOp{blend.SourceConstantAlpha});
        return true;
    }
    return false;
}

void FillPixels(Surface& dst, int x, int y, int w, int h, std::uint32_t pixel) {
    const std::int64_t x0 = std::max<std::int64_t>(0, x);
    const std::int64_t y0 = std::max<std::int64_t>(0, y);
    const std::int64_t x1 = std::min<std::int64_t>(dst.Width(), std::int64_t{x} + w);
    const std::int64_t y1 = std::min<std::int64_t>(dst.Height(), std::int64_t{y} + h);
    if (x1 <= x0 || y1 <= y0)
        return;
    for (std::int64_t r = y0; r < y1; ++r) {
        auto row = dst.Row(static_cast<int>(r));
        std::fill(row.begin() + x0, row.begin() + x1, pixel);
    }
}

COLORREF PixelColor(const Surface& surface, int x, int y) {
    if (x < 0 || y < 0 || x >= surface.Width() || y >= surface.Height())
        return CLR_INVALID;
    return ColorFromPixel(surface.At(x, y));
}

// [SECTION] On device contexts

namespace {

// The destination is looked up first: making it writable may copy its pixels, and
// when source and destination are one context the source must be read afterwards.
struct Pair {
    Surface* dst = nullptr;
    const Surface* src = nullptr;
};

Pair Resolve(HDC dst, HDC src) {
    Pair pair;
    auto* to = DeviceContext::FromHandle(dst);
    auto* from = DeviceContext::FromHandle(src);
    if (to == nullptr || from == nullptr)
        return pair;
    pair.dst = to->Target();
    pair.src = from->Source();
    return pair;
}

} // namespace

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, std::uint32_t rop) {
    auto pair = Resolve(dst, src);
    if (pair.dst == nullptr || pair.src == nullptr)
        return false;
    return Blit(*pair.dst, x, y, w, h, *pair.src, sx, sy, rop);
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                std::uint32_t rop) {
    auto pair = Resolve(dst, src);
    if (pair.dst == nullptr || pair.src == nullptr)
        return false;
    return StretchBlit(*pair.dst, x, y, w, h, *pair.src, sx, sy, sw, sh, rop);
}

bool AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend) {
    auto pair = Resolve(dst, src);
    if (pair.dst == nullptr || pair.src == nullptr)
        return false;
    return BlendOver(*pair.dst, x, y, w, h, *pair.src, sx, sy, sw, sh, blend);
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto* context = DeviceContext::FromHandle(dc);
    const Surface* surface = context == nullptr ? nullptr : context->Source();
    return surface == nullptr ? CLR_INVALID : PixelColor(*surface, x, y);
}

bool FillSolid(HDC dc, int x, int y, int w, int h, COLORREF color) {
    auto* context = DeviceContext::FromHandle(dc);
    Surface* surface = context == nullptr ? nullptr : context->Target();
    if (surface == nullptr)
        return false;
    FillPixels(*surface, x, y, w, h, PixelFromColor(color));
    return true;
}

} // namespace zembra
