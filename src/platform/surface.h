#pragma once
// 32-bit pixel surfaces: the pixels of picture objects and picture boxes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace zembra {

// Pixels are stored as 0x00RRGGBB words, rows top to bottom, no padding.
class Surface {
  public:
    // nullopt when a side is not positive or the pixel count would not fit in memory limits.
    static std::optional<Surface> Create(int width, int height, std::uint32_t fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::span<std::uint32_t> Row(int y) {
        return {pixels_.data() + static_cast<std::size_t>(y) * width_, static_cast<std::size_t>(width_)};
    }
    std::span<const std::uint32_t> Row(int y) const {
        return {pixels_.data() + static_cast<std::size_t>(y) * width_, static_cast<std::size_t>(width_)};
    }
    std::span<std::uint32_t> Pixels() { return pixels_; }
    std::span<const std::uint32_t> Pixels() const { return pixels_; }

  private:
    Surface(int width, int height, std::uint32_t fill);
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

// A picture object: an immutable, shared pixel buffer.
using PictureRef = std::shared_ptr<const Surface>;

} // namespace zembra
