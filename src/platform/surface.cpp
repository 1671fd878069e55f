#include "platform/surface.h"

#include <array>
#include <cmath>

namespace zembra {

std::optional<Surface> Surface::Create(int width, int height, std::uint32_t fill) {
    if (width <= 0 || height <= 0)
        return std::nullopt;
    if (static_cast<std::int64_t>(width) * height > kMaxPixels)
        return std::nullopt;
    return Surface(width, height, fill);
}

std::shared_ptr<Surface> Surface::CreateShared(int width, int height, std::uint32_t fill) {
    auto surface = Create(width, height, fill);
    if (!surface)
        return nullptr;
    return std::make_shared<Surface>(std::move(*surface));
}

Surface::Surface(int width, int height, std::uint32_t fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Surface::TakeProfileOfPainting(const ColorProfile& painted, double x, double y, double w,
                                    double h) {
    const double left = w < 0 ? x + w : x, top = h < 0 ? y + h : y;
    if (left <= 0 && top <= 0 && left + std::abs(w) >= width_ && top + std::abs(h) >= height_)
        profile_ = painted;
}

namespace {

// The light desktop theme's values for the system colour numbers 0..24.
constexpr std::array<COLORREF, 25> kSystemColors = {
    RGB(200, 200, 200), // scroll bar
    RGB(0, 0, 0),       // desktop
    RGB(153, 180, 209), // active caption
    RGB(191, 205, 219), // inactive caption
    RGB(240, 240, 240), // menu
    RGB(255, 255, 255), // window
    RGB(100, 100, 100), // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(0, 0, 0),       // caption text
    RGB(180, 180, 180), // active border
    RGB(244, 247, 252), // inactive border
    RGB(171, 171, 171), // application workspace
    RGB(0, 120, 215),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(240, 240, 240), // button face
    RGB(160, 160, 160), // button shadow
    RGB(109, 109, 109), // grey text
    RGB(0, 0, 0),       // button text
    RGB(0, 0, 0),       // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(105, 105, 105), // 3D dark shadow
    RGB(227, 227, 227), // 3D light
    RGB(0, 0, 0),       // tooltip text
    RGB(255, 255, 225), // tooltip background
};

} // namespace

COLORREF TranslateColor(OLE_COLOR color) {
    if ((color & 0x80000000u) == 0)
        return color & 0x00FFFFFFu;
    const auto index = color & 0xFFu;
    // Unknown system colours read as black, as the window system answers them.
    return index < kSystemColors.size() ? kSystemColors[index] : RGB(0, 0, 0);
}

} // namespace zembra
