#pragma once
// 32-bit pixel surfaces: the pixels of picture objects and picture boxes, and the
// colour values that the form handlers pass around.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace zembra {

// An embedded ICC colour profile, shared between every surface made from one file.
using ColorProfile = std::shared_ptr<const std::vector<std::uint8_t>>;

// Pixels are 0xAARRGGBB words (B, G, R, A bytes in memory), rows top to bottom, no
// padding between rows. Picture boxes and picture objects are opaque: whatever makes
// their pixels writes alpha 0xFF, and raster operations ignore it. Decoded images
// that still carry transparency use the same layout with straight (not
// premultiplied) alpha.
class Surface {
  public:
    // nullopt when a side is not positive or the pixel count exceeds kMaxPixels.
    static std::optional<Surface> Create(int width, int height, std::uint32_t fill = 0xFF000000u);
    // The same as a shared picture object.
    static std::shared_ptr<Surface> CreateShared(int width, int height,
                                                 std::uint32_t fill = 0xFF000000u);

    // 1 Gi pixels (4 GiB) is far beyond any photograph; larger sizes are corrupt headers.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 30;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixels from one row to the next; rows are packed, so this is the width.
    std::size_t Stride() const { return static_cast<std::size_t>(width_); }

    std::span<std::uint32_t> Row(int y) {
        return {pixels_.data() + static_cast<std::size_t>(y) * Stride(), Stride()};
    }
    std::span<const std::uint32_t> Row(int y) const {
        return {pixels_.data() + static_cast<std::size_t>(y) * Stride(), Stride()};
    }
    std::span<std::uint32_t> Pixels() { return pixels_; }
    std::span<const std::uint32_t> Pixels() const { return pixels_; }
    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * Stride() + x];
    }

    // The colour space the pixels are in; empty for the usual sRGB.
    const ColorProfile& Profile() const { return profile_; }
    void SetProfile(ColorProfile profile) { profile_ = std::move(profile); }
    // After a picture is painted over the rectangle (x, y, w, h), negative sizes
    // mirroring: when it covers the whole surface only the picture's colours are
    // left, so the surface takes its profile, or none, and nothing of an earlier
    // picture stays; a smaller painting leaves the surface's own profile.
    void TakeProfileOfPainting(const ColorProfile& painted, double x, double y, double w, double h);

  private:
    Surface(int width, int height, std::uint32_t fill);
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
    ColorProfile profile_;
};

// A picture object: an immutable, shared pixel buffer.
using PictureRef = std::shared_ptr<const Surface>;

// [SECTION] Colours

// A colour as the window system stores it: 0x00BBGGRR.
using COLORREF = std::uint32_t;
// A colour property value: a COLORREF, or 0x800000nn for system colour nn.
using OLE_COLOR = std::uint32_t;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// An opaque pixel of a COLORREF; the top byte of the COLORREF is ignored.
constexpr std::uint32_t PixelFromColor(COLORREF color) {
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// The COLORREF of a pixel; alpha is dropped.
constexpr COLORREF ColorFromPixel(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

// System colour numbers that the forms use (the low byte of 0x800000nn).
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNTEXT = 18;

// The COLORREF a colour property stands for: system colours are looked up (the
// desktop's light theme: button face 240,240,240, texts black), anything else has
// its top byte cleared.
COLORREF TranslateColor(OLE_COLOR color);

} // namespace zembra
