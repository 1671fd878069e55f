#pragma once
// Pictures loaded for a small box: decoded once and reduced while decoding where
// the format allows (JPEG decodes at 1/2, 1/4 or 1/8 of its size straight from the
// compressed data, libwebp scales while it decodes, a HEIC from a phone carries a
// thumbnail), then resampled to fit the box. Thumbnails and
// previews use it; a 24-megapixel photograph loads in a fraction of the time and
// memory of a full decode.

#include "imaging/codec.h"
#include "imaging/gp_bitmap.h"
#include "platform/surface.h"

#include <string>

namespace zembra {

struct FittedPicture {
    PictureRef picture;   // null when the file cannot be loaded
    int naturalWidth = 0; // the picture's own size, in pixels
    int naturalHeight = 0;
};

// The size of a w x h picture shrunk to fit a box, keeping its aspect ratio
// (each side at least 1); pictures that already fit keep their size.
struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};
PixelSize FitInBox(int width, int height, int boxWidth, int boxHeight);

// The first frame of a picture file, no larger than the box (in pixels), over a
// black background where it is transparent.
FittedPicture LoadPictureToFit(const std::string& path, int boxWidth, int boxHeight,
                               const DecodeLimits& limits = {});

// The same for a file's bytes already read.
FittedPicture FitPictureBytes(ByteSpan data, int boxWidth, int boxHeight,
                              const DecodeLimits& limits = {});

} // namespace zembra
