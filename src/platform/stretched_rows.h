#pragma once
// The point-sampled stretch of StretchBlit, one target row at a time: the rows a
// whole source gives when it is drawn over a whole width x height target. Each
// source row is asked for once, and rows that no target row samples are skipped.

#include "platform/pixel_rows.h"

#include <vector>

namespace zembra {

class StretchedRows final : public PixelRows {
  public:
    // width and height are positive; the source must outlive this object.
    StretchedRows(PixelRows& source, int width, int height);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    const ColorProfile& Profile() const override { return source_.Profile(); }
    const std::uint32_t* Next() override;
    // Passes over the source rows below the last one sampled, so that a source
    // that ends early fails here as it would when read whole.
    bool Finish();

  private:
    PixelRows& source_;
    int width_;
    int height_;
    std::vector<int> columns_; // the source column of each target column
    std::vector<int> rows_;    // the source row of each target row
    std::vector<std::uint32_t> row_;
    int next_ = 0;         // the next target row
    int sourceNext_ = 0;   // the row the source gives next
    int sampledFrom_ = -1; // the source row that row_ holds
};

} // namespace zembra
