#include "platform/pixel_rows.h"

#include <algorithm>
#include <cstring>

namespace zembra {

bool PixelRows::Skip(int count) {
    for (int i = 0; i < count; ++i)
        if (Next() == nullptr)
            return false;
    return true;
}

const std::uint32_t* SurfaceRows::Next() {
    if (next_ >= surface_.Height())
        return nullptr;
    return surface_.Row(next_++).data();
}

bool SurfaceRows::Skip(int count) {
    next_ += count;
    return next_ <= surface_.Height();
}

std::optional<Surface> CollectRows(PixelRows& rows) {
    auto surface = Surface::Create(rows.Width(), rows.Height());
    if (!surface)
        return std::nullopt;
    for (int y = 0; y < rows.Height(); ++y) {
        const std::uint32_t* row = rows.Next();
        if (row == nullptr)
            return std::nullopt;
        std::memcpy(surface->Row(y).data(), row, surface->Stride() * sizeof(std::uint32_t));
    }
    surface->SetProfile(rows.Profile());
    return surface;
}

} // namespace zembra
