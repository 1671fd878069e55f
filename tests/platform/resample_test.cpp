// The filtered resize against what a resize must do whatever its code: keep flat
// areas flat, keep thin lines as faint lines, and enlarge without blocks or halos.
// A plain double-precision Lanczos, written here from its formula, is the yardstick
// for shrinking; staying within a few levels of it also means rings finer than the
// new pixels fade to grey as its do, instead of folding back as moiré.
#include "platform/resample.h"
#include "platform/stretched_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace zembra {
namespace {

int Grey(std::uint32_t pixel) {
    return static_cast<int>(pixel & 0xFFu);
}

Surface GreySurface(int w, int h, const auto& value) {
    Surface s = *Surface::Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto v =
                static_cast<std::uint32_t>(std::lround(std::clamp(value(x, y), 0.0, 255.0)));
            s.Row(y)[static_cast<std::size_t>(x)] = 0xFF000000u | v << 16 | v << 8 | v;
        }
    return s;
}

// Rings whose frequency grows with the radius up to the Nyquist limit at the edges.
Surface ZonePlate(int side) {
    return GreySurface(side, side, [side](int x, int y) {
        const double dx = x + 0.5 - side / 2.0, dy = y + 0.5 - side / 2.0;
        return 127.5 + 127 * std::cos(std::numbers::pi * (dx * dx + dy * dy) / side);
    });
}

// Black strokes one to three pixels wide on white, in lines like print.
Surface TextPage(int w, int h) {
    std::mt19937 random(7);
    std::vector<double> ink(static_cast<std::size_t>(w * h), 255);
    for (int line = 4; line + 12 < h; line += 16)
        for (int x = 4; x + 8 < w; x += 3 + static_cast<int>(random() % 5)) {
            const int thick = 1 + static_cast<int>(random() % 3);
            const bool upright = random() % 2;
            for (int i = 0; i < (upright ? 10 : 6); ++i)
                for (int t = 0; t < thick; ++t) {
                    const int px = upright ? x + t : x + i, py = upright ? line + i : line + 5 + t;
                    ink[static_cast<std::size_t>(py * w + px)] = 0;
                }
        }
    return GreySurface(w, h,
                       [&](int x, int y) { return ink[static_cast<std::size_t>(y * w + x)]; });
}

double Lanczos3(double x) {
    const auto sinc = [](double v) {
        return v == 0 ? 1.0 : std::sin(std::numbers::pi * v) / (std::numbers::pi * v);
    };
    return std::abs(x) < 3 ? sinc(x) * sinc(x / 3) : 0;
}

// One axis of a separable Lanczos-3 resize in doubles, edges renormalised.
std::vector<double> Resize1d(const std::vector<double>& in, int out) {
    const double scale = static_cast<double>(in.size()) / out, fs = std::max(1.0, scale);
    std::vector<double> result;
    for (int i = 0; i < out; ++i) {
        double sum = 0, weights = 0;
        for (std::size_t s = 0; s < in.size(); ++s) {
            const double w = Lanczos3((s + 0.5 - (i + 0.5) * scale) / fs);
            sum += w * in[s];
            weights += w;
        }
        result.push_back(sum / weights);
    }
    return result;
}

using Grid = std::vector<std::vector<double>>; // [y][x]

Grid Reference(const Surface& s, int w, int h) {
    Grid across(s.Height()), out(h, std::vector<double>(w));
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x)
            across[y].push_back(Grey(s.At(x, y)));
        across[y] = Resize1d(across[y], w);
    }
    for (int x = 0; x < w; ++x) {
        std::vector<double> column;
        for (const auto& row : across)
            column.push_back(row[x]);
        const auto down = Resize1d(column, h);
        for (int y = 0; y < h; ++y)
            out[y][x] = down[y];
    }
    return out;
}

// Root-mean-square and largest difference from the reference, clipped to 0..255
// as any 8-bit result must be.
::testing::AssertionResult CloseToReference(const Surface& got, const Surface& source, double rms,
                                            double largest) {
    const auto want = Reference(source, got.Width(), got.Height());
    double squares = 0, worst = 0;
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x) {
            const double d = Grey(got.At(x, y)) - std::clamp(want[y][x], 0.0, 255.0);
            squares += d * d;
            worst = std::max(worst, std::abs(d));
        }
    const double r = std::sqrt(squares / (got.Width() * got.Height()));
    if (r <= rms && worst <= largest)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rms " << r << ", largest " << worst;
}

TEST(Resample, ZonePlateAndTextStayCloseToAFullPrecisionLanczos) {
    const Surface zone = ZonePlate(240);
    const Surface text = TextPage(240, 200);
    for (int percent : {10, 25, 50}) {
        SCOPED_TRACE(percent);
        // The 8-bit rows between the passes cost a level here and there. Text's
        // hard edges also ring past black and white, which those rows clip and the
        // reference (clipped only at the end) does not. A window or phase off by a
        // pixel costs tens of levels throughout.
        EXPECT_TRUE(CloseToReference(Resample(zone, 240 * percent / 100, 240 * percent / 100), zone,
                                     1.0, 3));
        EXPECT_TRUE(CloseToReference(Resample(text, 240 * percent / 100, 200 * percent / 100), text,
                                     4.5, 32));
    }
}

TEST(Resample, FlatAreasStayExactlyFlat) {
    const std::uint32_t colour = 0x80C03F17u; // alpha too
    const struct {
        int sw, sh, w, h;
    } cases[] = {{97, 61, 10, 6}, {97, 61, 33, 60}, {5, 3, 41, 29}, {1, 1, 7, 3}, {64, 1, 3, 1}};
    for (const auto& c : cases) {
        const Surface out = Resample(*Surface::Create(c.sw, c.sh, colour), c.w, c.h);
        ASSERT_EQ(out.Width(), c.w);
        ASSERT_EQ(out.Height(), c.h);
        for (std::uint32_t p : out.Pixels())
            ASSERT_EQ(p, colour) << c.sw << "x" << c.sh << " to " << c.w << "x" << c.h;
    }
}

TEST(Resample, AOnePixelLineShrinksToAFaintLineNeverAGap) {
    // On grey, so the filter's ringing beside the line is not clipped away.
    constexpr double kGround = 200;
    for (int percent : {10, 25, 50})
        for (int at = 100; at < 108; ++at) {
            const Surface line =
                GreySurface(200, 20, [at](int x, int) { return x == at ? 0.0 : kGround; });
            const int w = 200 * percent / 100;
            const Surface out = Resample(line, w, 20 * percent / 100);
            for (int y = 0; y < out.Height(); ++y) {
                int ink = 0, darkest = 255;
                for (int x = 0; x < w; ++x) {
                    ink += static_cast<int>(kGround) - Grey(out.At(x, y));
                    darkest = std::min(darkest, Grey(out.At(x, y)));
                }
                // The line's ink is kept, spread over the shrink factor, so it
                // neither vanishes nor stays a full-strength column.
                const double want = kGround * percent / 100;
                EXPECT_NEAR(ink, want, want * 0.15 + 2) << percent << "% at " << at;
                EXPECT_LT(darkest, kGround - want / 3) << percent << "% at " << at;
                EXPECT_GT(darkest, kGround - want * 1.2 - 2) << percent << "% at " << at;
            }
        }
}

TEST(Resample, EnlargedCheckerboardIsSmoothWithLittleOvershoot) {
    const Surface board =
        GreySurface(32, 32, [](int x, int y) { return (x / 8 + y / 8) % 2 ? 192.0 : 64.0; });
    for (int factor : {2, 3, 5}) {
        const Surface big = Resample(board, 32 * factor, 32 * factor);
        int lo = 255, hi = 0;
        std::vector<bool> seen(256);
        for (std::uint32_t p : big.Pixels()) {
            lo = std::min(lo, Grey(p));
            hi = std::max(hi, Grey(p));
            seen[static_cast<std::size_t>(Grey(p))] = true;
        }
        // Lanczos-3 rings by a tenth of a step across an edge, so at a square's
        // corner, where both directions ring at once, by up to a quarter of it
        // (1.2 squared, of half the step); a halo would go far past that.
        EXPECT_GE(lo, 64 - 34) << factor;
        EXPECT_LE(hi, 192 + 34) << factor;
        // Edges are ramps, not blocks: many levels between the two colours.
        EXPECT_GT(std::count(seen.begin() + 70, seen.begin() + 187, true), 2 * factor) << factor;
    }
}

TEST(Resample, StreamedRowsStopAtASourceThatEndsEarly) {
    struct Short final : PixelRows {
        Surface rows = *Surface::Create(40, 40, 0xFF808080u);
        int given = 0;
        int Width() const override { return 40; }
        int Height() const override { return 40; }
        const ColorProfile& Profile() const override { return rows.Profile(); }
        const std::uint32_t* Next() override {
            return given < 25 ? rows.Row(given++).data() : nullptr;
        }
    } source;
    StretchedRows stretched(source, 10, 10);
    int made = 0;
    while (stretched.Next() != nullptr)
        ++made;
    // Rows whose windows reach past row 25 cannot be made.
    EXPECT_GE(made, 2);
    EXPECT_LT(made, 7);
    EXPECT_EQ(stretched.Next(), nullptr);
    EXPECT_FALSE(stretched.Finish());
}

} // namespace
} // namespace zembra
