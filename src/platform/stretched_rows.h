#pragma once
// A whole source stretched over a whole width x height target, one target row at
// a time, through the Lanczos filter of resample.h. Each source row is asked for
// once; only the rows that the next target rows' windows still cover are kept.

#include "platform/pixel_rows.h"
#include "platform/resample.h"

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
    // Passes over the source rows below the last one read, so that a source that
    // ends early fails here as it would when read whole.
    bool Finish();

  private:
    // Reads source rows up to (not including) end into the ring.
    bool ReadUpTo(int end);
    std::uint32_t* Slot(int sourceRow);

    PixelRows& source_;
    int width_;
    int height_;
    AxisFilter columns_;
    AxisFilter rows_;
    int ringRows_;                    // source rows kept: the widest window
    std::vector<std::uint32_t> ring_; // ringRows_ source rows, by row number modulo
    std::vector<const std::uint32_t*> window_;
    std::vector<std::uint32_t> down_; // the vertical pass's row, source-wide
    std::vector<std::uint32_t> row_;
    int next_ = 0;       // the next target row
    int sourceNext_ = 0; // the row the source gives next
};

} // namespace zembra
