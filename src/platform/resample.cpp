#include "platform/resample.h"

#include "platform/stretched_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#if defined(__x86_64__) && defined(__GNUC__)
#define ZEMBRA_SSE41 1
#include <immintrin.h>
#else
#define ZEMBRA_SSE41 0
#endif

namespace zembra {

namespace {

constexpr double kLobes = 3; // Lanczos-3: three lobes each side of the centre

double Sinc(double x) {
    if (x == 0)
        return 1;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double Lanczos(double x) {
    return std::abs(x) < kLobes ? Sinc(x) * Sinc(x / kLobes) : 0;
}

constexpr std::int64_t kOne = std::int64_t{1} << AxisFilter::kPrecisionBits;

// The four bytes of a pixel as four 32-bit lanes: one multiply-add per tap for the
// whole pixel, which the compiler turns into vector instructions. 255 times the
// positive weights of a window stays below 2^31, so 32 bits do.
using Lanes = std::int32_t __attribute__((vector_size(16)));
using Bytes4 = std::uint8_t __attribute__((vector_size(4)));

Lanes Unpack(std::uint32_t pixel) {
    Bytes4 bytes;
    std::memcpy(&bytes, &pixel, sizeof pixel);
    return __builtin_convertvector(bytes, Lanes);
}

std::uint32_t Pack(Lanes sum) {
    sum >>= AxisFilter::kPrecisionBits;
    sum = sum < 0 ? 0 : sum;
    sum = sum > 255 ? 255 : sum;
    const Bytes4 bytes = __builtin_convertvector(sum, Bytes4);
    std::uint32_t pixel;
    std::memcpy(&pixel, &bytes, sizeof pixel);
    return pixel;
}

constexpr Lanes kRounding = {
    1 << (AxisFilter::kPrecisionBits - 1), 1 << (AxisFilter::kPrecisionBits - 1),
    1 << (AxisFilter::kPrecisionBits - 1), 1 << (AxisFilter::kPrecisionBits - 1)};
} // namespace

AxisFilter::AxisFilter(int targetSize, int sourceSize)
    : AxisFilter(targetSize, sourceSize, 0, targetSize, 0, sourceSize) {}

AxisFilter::AxisFilter(std::int64_t targetSize, std::int64_t sourceSize, std::int64_t firstTarget,
                       std::int64_t endTarget, std::int64_t sourceBegin, std::int64_t sourceEnd) {
    const double scale = static_cast<double>(sourceSize) / static_cast<double>(targetSize);
    // Shrinking stretches the filter over the source so it cuts at the new Nyquist
    // limit; enlarging keeps it at one source pixel per lobe.
    const double filterScale = std::max(scale, 1.0);
    const double support = kLobes * filterScale;
    const std::int64_t span = std::max<std::int64_t>(1, sourceEnd - sourceBegin);
    stride_ = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(std::ceil(support)) * 2 + 1, span));
    const auto targets =
        static_cast<std::size_t>(std::max<std::int64_t>(0, endTarget - firstTarget));
    first_.resize(targets);
    count_.resize(targets);
    weights_.assign(targets * stride_, 0);
    std::vector<double> w(stride_);
    for (std::size_t n = 0; n < targets; ++n) {
        const double centre =
            (static_cast<double>(firstTarget) + static_cast<double>(n) + 0.5) * scale;
        auto lo = static_cast<std::int64_t>(std::floor(centre - support + 0.5));
        auto hi = static_cast<std::int64_t>(std::floor(centre + support + 0.5));
        lo = std::max(lo, sourceBegin);
        hi = std::min({hi, sourceEnd, lo + static_cast<std::int64_t>(stride_)});
        double sum = 0;
        for (std::int64_t s = lo; s < hi; ++s) {
            w[static_cast<std::size_t>(s - lo)] =
                Lanczos((static_cast<double>(s) + 0.5 - centre) / filterScale);
            sum += w[static_cast<std::size_t>(s - lo)];
        }
        std::int32_t* k = weights_.data() + n * stride_;
        // A window cut down to a sliver of its tail (a clipped source) would need
        // huge weights to renormalise: take the nearest readable pixel instead.
        if (hi <= lo || sum < 0.5) {
            lo = std::clamp(static_cast<std::int64_t>(std::floor(centre)), sourceBegin,
                            sourceEnd - 1);
            hi = lo + 1;
            k[0] = static_cast<std::int32_t>(kOne);
        } else {
            std::int64_t total = 0;
            std::size_t largest = 0;
            for (std::int64_t s = lo; s < hi; ++s) {
                const auto i = static_cast<std::size_t>(s - lo);
                k[i] =
                    static_cast<std::int32_t>(std::llround(w[i] / sum * static_cast<double>(kOne)));
                total += k[i];
                if (k[i] > k[largest])
                    largest = i;
            }
            // Rounding leaves the sum a unit or two off one: the centre tap takes it.
            k[largest] += static_cast<std::int32_t>(kOne - total);
        }
        first_[n] = static_cast<int>(lo);
        count_[n] = static_cast<int>(hi - lo);
    }
}

int AxisFilter::Lowest() const {
    return first_.empty() ? 0 : *std::min_element(first_.begin(), first_.end());
}

int AxisFilter::Highest() const {
    int highest = -1;
    for (std::size_t n = 0; n < first_.size(); ++n)
        highest = std::max(highest, first_[n] + count_[n] - 1);
    return highest;
}

void AxisFilter::Place(std::int64_t origin, std::int64_t extent, bool flip) {
    for (std::size_t n = 0; n < first_.size(); ++n) {
        if (!flip) {
            first_[n] = static_cast<int>(origin + first_[n]);
            continue;
        }
        first_[n] = static_cast<int>(origin + extent - first_[n] - count_[n]);
        std::int32_t* k = weights_.data() + n * stride_;
        std::reverse(k, k + count_[n]);
    }
}

namespace {

void FilterRowPlain(const std::uint32_t* source, std::uint32_t* target, const AxisFilter& columns) {
    const int width = columns.Size();
    for (int i = 0; i < width; ++i) {
        const std::uint32_t* s = source + columns.First(i);
        const std::int32_t* k = columns.Weights(i);
        const int count = columns.Count(i);
        Lanes sum = kRounding;
        for (int t = 0; t < count; ++t)
            sum += Unpack(s[t]) * k[t];
        target[i] = Pack(sum);
    }
}

void FilterColumnsPlain(const std::uint32_t* const* rows, const std::int32_t* weights, int count,
                        std::uint32_t* target, int width) {
    for (int x = 0; x < width; ++x) {
        Lanes sum = kRounding;
        for (int t = 0; t < count; ++t)
            sum += Unpack(rows[t][x]) * weights[t];
        target[x] = Pack(sum);
    }
}

#if ZEMBRA_SSE41
// The same loops with SSE4.1, which widens a pixel's bytes and multiplies 32-bit
// lanes in one instruction each; the saturating packs are the clamp to 0..255.
__attribute__((target("sse4.1"))) __m128i Weighted(std::uint32_t pixel, std::int32_t weight) {
    return _mm_mullo_epi32(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(static_cast<int>(pixel))),
                           _mm_set1_epi32(weight));
}

__attribute__((target("sse4.1"))) std::uint32_t PackSse41(__m128i sum) {
    const __m128i shifted = _mm_srai_epi32(sum, AxisFilter::kPrecisionBits);
    const __m128i words = _mm_packs_epi32(shifted, shifted);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

__attribute__((target("sse4.1"))) void
FilterRowSse41(const std::uint32_t* source, std::uint32_t* target, const AxisFilter& columns) {
    const int width = columns.Size();
    for (int i = 0; i < width; ++i) {
        const std::uint32_t* s = source + columns.First(i);
        const std::int32_t* k = columns.Weights(i);
        const int count = columns.Count(i);
        __m128i sum = _mm_set1_epi32(1 << (AxisFilter::kPrecisionBits - 1));
        for (int t = 0; t < count; ++t)
            sum = _mm_add_epi32(sum, Weighted(s[t], k[t]));
        target[i] = PackSse41(sum);
    }
}

__attribute__((target("sse4.1"))) void FilterColumnsSse41(const std::uint32_t* const* rows,
                                                          const std::int32_t* weights, int count,
                                                          std::uint32_t* target, int width) {
    for (int x = 0; x < width; ++x) {
        __m128i sum = _mm_set1_epi32(1 << (AxisFilter::kPrecisionBits - 1));
        for (int t = 0; t < count; ++t)
            sum = _mm_add_epi32(sum, Weighted(rows[t][x], weights[t]));
        target[x] = PackSse41(sum);
    }
}
#endif

#if ZEMBRA_SSE41
bool HasSse41() {
    static const bool has = __builtin_cpu_supports("sse4.1");
    return has;
}
#endif

} // namespace

void FilterRow(const std::uint32_t* source, std::uint32_t* target, const AxisFilter& columns) {
#if ZEMBRA_SSE41
    if (HasSse41())
        return FilterRowSse41(source, target, columns);
#endif
    FilterRowPlain(source, target, columns);
}

void FilterColumns(const std::uint32_t* const* rows, const std::int32_t* weights, int count,
                   std::uint32_t* target, int width) {
#if ZEMBRA_SSE41
    if (HasSse41())
        return FilterColumnsSse41(rows, weights, count, target, width);
#endif
    FilterColumnsPlain(rows, weights, count, target, width);
}

Surface Resample(const Surface& source, int width, int height) {
    SurfaceRows rows(source);
    StretchedRows stretched(rows, width, height);
    // A surface's rows are always there, so collecting cannot fail.
    Surface out = *CollectRows(stretched);
    out.SetProfile(source.Profile());
    return out;
}

} // namespace zembra
