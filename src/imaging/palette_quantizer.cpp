#include "imaging/palette_quantizer.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace zembra {

namespace {

constexpr int kHistogramBits = 5;
constexpr int kBins = 1 << (3 * kHistogramBits);

int Channel(std::uint32_t pixel, int axis) {
    return static_cast<int>((pixel >> (16 - 8 * axis)) & 0xFF);
}

int BinOf(std::uint32_t p) {
    return ((Channel(p, 0) >> 3) << 10) | ((Channel(p, 1) >> 3) << 5) | (Channel(p, 2) >> 3);
}

int BinCoordinate(int bin, int axis) {
    return (bin >> (10 - 5 * axis)) & 0x1F;
}

struct Stats {
    std::uint64_t count = 0;
    std::array<std::uint64_t, 3> sum{};
    std::uint64_t squares = 0;

    void Add(const Stats& o) {
        count += o.count;
        for (int a = 0; a < 3; ++a)
            sum[a] += o.sum[a];
        squares += o.squares;
    }
    // Sum of squared distances of the colours from their mean.
    double Error() const {
        if (count == 0)
            return 0;
        double mean = 0;
        for (int a = 0; a < 3; ++a)
            mean += double(sum[a]) * double(sum[a]);
        return double(squares) - mean / double(count);
    }
    std::uint32_t Mean() const {
        std::uint32_t p = 0xFF000000u;
        for (int a = 0; a < 3; ++a)
            p |= static_cast<std::uint32_t>((sum[a] + count / 2) / count) << (16 - 8 * a);
        return p;
    }
};

struct Box {
    std::vector<int> bins;
    Stats stats;
};

// Splits box at the cut that leaves the least squared error; false when the box
// cannot be split (one bin).
bool Split(Box& box, const std::vector<Stats>& histogram, Box& other) {
    if (box.bins.size() < 2)
        return false;
    double best = std::numeric_limits<double>::infinity();
    int bestAxis = -1;
    std::size_t bestCut = 0;
    for (int axis = 0; axis < 3; ++axis) {
        std::sort(box.bins.begin(), box.bins.end(),
                  [axis](int a, int b) { return BinCoordinate(a, axis) < BinCoordinate(b, axis); });
        Stats left;
        for (std::size_t i = 0; i + 1 < box.bins.size(); ++i) {
            left.Add(histogram[static_cast<std::size_t>(box.bins[i])]);
            // Only cut between different coordinates, so a cut is a plane.
            if (BinCoordinate(box.bins[i], axis) == BinCoordinate(box.bins[i + 1], axis))
                continue;
            Stats right = box.stats;
            right.count -= left.count;
            for (int a = 0; a < 3; ++a)
                right.sum[a] -= left.sum[a];
            right.squares -= left.squares;
            const double error = left.Error() + right.Error();
            if (error < best) {
                best = error;
                bestAxis = axis;
                bestCut = i + 1;
            }
        }
    }
    if (bestAxis < 0)
        return false;
    std::sort(box.bins.begin(), box.bins.end(), [bestAxis](int a, int b) {
        return BinCoordinate(a, bestAxis) < BinCoordinate(b, bestAxis);
    });
    other.bins.assign(box.bins.begin() + static_cast<std::ptrdiff_t>(bestCut), box.bins.end());
    box.bins.resize(bestCut);
    box.stats = {};
    other.stats = {};
    for (int b : box.bins)
        box.stats.Add(histogram[static_cast<std::size_t>(b)]);
    for (int b : other.bins)
        other.stats.Add(histogram[static_cast<std::size_t>(b)]);
    return true;
}

// The picture's own palette, or false when it has more than maxColors colours.
bool ExactPalette(const Surface& picture, int maxColors, QuantizedPicture& out) {
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    const auto pixels = picture.Pixels();
    out.indices.resize(pixels.size());
    std::uint32_t last = 0;
    std::uint8_t lastIndex = 0;
    bool haveLast = false;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t p = pixels[i] | 0xFF000000u;
        if (!haveLast || p != last) {
            auto it = index.find(p);
            if (it == index.end()) {
                if (static_cast<int>(index.size()) == maxColors)
                    return false;
                it = index.emplace(p, static_cast<std::uint8_t>(index.size())).first;
                out.palette.push_back(p);
            }
            last = p;
            lastIndex = it->second;
            haveLast = true;
        }
        out.indices[i] = lastIndex;
    }
    return true;
}

int Nearest(std::span<const std::uint32_t> palette, int r, int g, int b) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = Channel(palette[i], 0) - r;
        const int dg = Channel(palette[i], 1) - g;
        const int db = Channel(palette[i], 2) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

} // namespace

std::vector<std::uint8_t> MapToPalette(const Surface& picture,
                                       std::span<const std::uint32_t> palette) {
    // Nearest entries are remembered per cell of 4 x 4 x 4 colours and looked up for
    // the cell's centre: within 2 of exact per channel, and a photo needs only a
    // few thousand searches instead of millions.
    constexpr int kCellBits = 6;
    std::vector<std::int16_t> cache(std::size_t{1} << (3 * kCellBits), -1);
    const auto pixels = picture.Pixels();
    std::vector<std::uint8_t> indices(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t p = pixels[i];
        const int r = Channel(p, 0) >> 2, g = Channel(p, 1) >> 2, b = Channel(p, 2) >> 2;
        const auto cell = static_cast<std::size_t>((r << 12) | (g << 6) | b);
        if (cache[cell] < 0)
            cache[cell] = static_cast<std::int16_t>(
                Nearest(palette, (r << 2) | 2, (g << 2) | 2, (b << 2) | 2));
        indices[i] = static_cast<std::uint8_t>(cache[cell]);
    }
    return indices;
}

QuantizedPicture Quantize(const Surface& picture, int maxColors) {
    maxColors = std::clamp(maxColors, 1, 256);
    QuantizedPicture out;
    if (ExactPalette(picture, maxColors, out))
        return out;
    out = {};

    std::vector<Stats> histogram(kBins);
    for (const std::uint32_t p : picture.Pixels()) {
        auto& s = histogram[static_cast<std::size_t>(BinOf(p))];
        ++s.count;
        for (int a = 0; a < 3; ++a) {
            const std::uint64_t c = static_cast<std::uint64_t>(Channel(p, a));
            s.sum[a] += c;
            s.squares += c * c;
        }
    }
    std::vector<Box> boxes(1);
    for (int b = 0; b < kBins; ++b) {
        if (histogram[static_cast<std::size_t>(b)].count == 0)
            continue;
        boxes[0].bins.push_back(b);
        boxes[0].stats.Add(histogram[static_cast<std::size_t>(b)]);
    }
    std::vector<bool> splittable(1, true);
    while (static_cast<int>(boxes.size()) < maxColors) {
        int pick = -1;
        double worst = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const double e = boxes[i].stats.Error();
            if (splittable[i] && e > worst) {
                worst = e;
                pick = static_cast<int>(i);
            }
        }
        if (pick < 0)
            break;
        Box other;
        if (!Split(boxes[static_cast<std::size_t>(pick)], histogram, other)) {
            splittable[static_cast<std::size_t>(pick)] = false;
            continue;
        }
        boxes.push_back(std::move(other));
        splittable.push_back(true);
    }
    for (const auto& box : boxes)
        out.palette.push_back(box.stats.Mean());
    out.indices = MapToPalette(picture, out.palette);
    return out;
}

} // namespace zembra
