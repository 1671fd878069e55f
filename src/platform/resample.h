#pragma once
// Filtered resizing: a separable Lanczos-3 filter in fixed point. Each axis gets
// its windows and weights once per size (AxisFilter); then a horizontal pass runs
// over each source row and a vertical pass combines the few filtered rows a
// target row's window covers. Shrinking widens the filter by the shrink factor, so
// detail finer than the new pixel grid is averaged away instead of folding back as
// moiré; enlarging interpolates with the filter at its own width. The four bytes
// of a pixel are filtered alike: opaque pictures stay opaque, since the weights of
// every window sum exactly to one.

#include "platform/surface.h"

#include <cstdint>
#include <vector>

namespace zembra {

class AxisFilter {
  public:
    // Weights are fixed point with this many fraction bits; every window's weights
    // add up to exactly 1 << kPrecisionBits, so a flat area stays exactly flat.
    static constexpr int kPrecisionBits = 22;

    // The whole of sourceSize positions over the whole of targetSize (both > 0).
    AxisFilter(int targetSize, int sourceSize);
    // Target positions [firstTarget, endTarget) of a targetSize-long stretch over
    // sourceSize positions, reading only source positions [sourceBegin, sourceEnd)
    // (a non-empty range); weights that fall outside are dropped and the rest
    // renormalised. Positions are relative to the stretched rectangles.
    AxisFilter(std::int64_t targetSize, std::int64_t sourceSize, std::int64_t firstTarget,
               std::int64_t endTarget, std::int64_t sourceBegin, std::int64_t sourceEnd);

    int Size() const { return static_cast<int>(first_.size()); }
    // The first source position of target position i's window, and how many follow.
    int First(int i) const { return first_[static_cast<std::size_t>(i)]; }
    int Count(int i) const { return count_[static_cast<std::size_t>(i)]; }
    const std::int32_t* Weights(int i) const {
        return weights_.data() + static_cast<std::size_t>(i) * stride_;
    }
    // The lowest and highest source position any window reads.
    int Lowest() const;
    int Highest() const;

    // Turns positions relative to a rectangle starting at origin into absolute
    // ones, mirrored when flip is set (position k becomes origin + extent - 1 - k).
    void Place(std::int64_t origin, std::int64_t extent, bool flip);

  private:
    std::vector<int> first_;
    std::vector<int> count_;
    std::vector<std::int32_t> weights_; // stride_ per target position
    std::size_t stride_ = 0;
};

// One row through the horizontal pass: target[i] combines source[First(i)...].
void FilterRow(const std::uint32_t* source, std::uint32_t* target, const AxisFilter& columns);

// The vertical pass for one target row: combines count rows of width pixels with
// the given weights (rows[k] goes with weights[k]).
void FilterColumns(const std::uint32_t* const* rows, const std::int32_t* weights, int count,
                   std::uint32_t* target, int width);

// The least size a picture decoded at a reduced scale should keep along a side
// that is to become targetSide long: twice the target, so the filter still does
// the last halving or more. A decoder's own scaling averages blocks, which lets
// fine detail fold back; at just the target size photographs came out 2.7 dB
// further from a full Lanczos reduction (measured with bench/compare).
constexpr int ShrinkOnLoadSide(int targetSide) {
    return targetSide * 2;
}

// A whole surface resized to width x height (both > 0), profile kept.
Surface Resample(const Surface& source, int width, int height);

} // namespace zembra
