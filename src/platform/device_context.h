#pragma once
// Device-context handles: small numbers that name something to draw into. The
// handlers pass them around the way the window system's calls expect (a picture
// box's hDC, a graphics object's DC); the raster operations look them up here.
// A handle is never reused, so a stale one finds nothing instead of another surface.

#include "platform/surface.h"

#include <cstdint>

namespace zembra {

enum class HDC : std::uint32_t { Null = 0 };

class DeviceContext {
  public:
    DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;
    virtual ~DeviceContext();

    HDC Handle() const { return handle_; }

    // The pixels to draw into, made the owner's own first (a shared picture is
    // copied before it is changed); null when there is nothing to draw into, such
    // as a picture box of no size.
    virtual Surface* Target() = 0;
    // The pixels to read; null when there are none.
    virtual const Surface* Source() = 0;

    // The context a handle names, or null for a null, released or made-up handle.
    static DeviceContext* FromHandle(HDC handle);

  private:
    HDC handle_;
};

// A context over a surface that someone else owns and that outlives the context.
class SurfaceDC final : public DeviceContext {
  public:
    explicit SurfaceDC(Surface& surface) : surface_(surface) {}
    Surface* Target() override { return &surface_; }
    const Surface* Source() override { return &surface_; }

  private:
    Surface& surface_;
};

} // namespace zembra
