#include "platform/surface.h"

#include <limits>

namespace zembra {

namespace {
// 1 Gi pixels (4 GiB) is far beyond any photograph; larger sizes are corrupt headers.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 30;
} // namespace

std::optional<Surface> Surface::Create(int width, int height, std::uint32_t fill) {
    if (width <= 0 || height <= 0)
        return std::nullopt;
    if (static_cast<std::int64_t>(width) * height > kMaxPixels)
        return std::nullopt;
    return Surface(width, height, fill);
}

Surface::Surface(int width, int height, std::uint32_t fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

} // namespace zembra
