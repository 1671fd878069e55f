#pragma once
// A picture handed over one row at a time, top to bottom: lets a resize run from
// the decoder through the stretch into the encoder without ever holding the whole
// source picture (or the whole target) in memory.

#include "platform/surface.h"

#include <cstdint>
#include <optional>

namespace zembra {

class PixelRows {
  public:
    virtual ~PixelRows() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual const ColorProfile& Profile() const = 0;

    // The next row (Width() pixels, laid out as a surface's row), valid until the
    // next call; null when the row cannot be had (a damaged file).
    virtual const std::uint32_t* Next() = 0;
    // Passes over `count` rows that nobody will look at. Decoders override it to
    // spare the work of making them.
    virtual bool Skip(int count);
};

// The rows of a surface, without copying them.
class SurfaceRows final : public PixelRows {
  public:
    explicit SurfaceRows(const Surface& surface) : surface_(surface) {}
    int Width() const override { return surface_.Width(); }
    int Height() const override { return surface_.Height(); }
    const ColorProfile& Profile() const override { return surface_.Profile(); }
    const std::uint32_t* Next() override;
    bool Skip(int count) override;

  private:
    const Surface& surface_;
    int next_ = 0;
};

// Collects every row into a new surface; nullopt when a row cannot be had.
std::optional<Surface> CollectRows(PixelRows& rows);

} // namespace zembra
