#pragma once
// HEIC files written through libheif's own encoder (x265), for tests of what
// phones store: a thumbnail beside the picture, an Exif item, and the irot/imir
// boxes that turn the picture when it is shown.

#include "platform/files.h"
#include "platform/surface.h"

#include <optional>

namespace zembra::testing {

struct HeicParts {
    // Shrunk by libheif to fit a square of thumbnailSide, and stored as the
    // picture's thumbnail.
    const Surface* thumbnail = nullptr;
    int thumbnailSide = 0;
    Bytes exif;          // an EXIF block from its TIFF header on
    int orientation = 1; // as EXIF numbers it; written as irot/imir
};

// The file, or nullopt when libheif has no HEVC encoder here.
std::optional<Bytes> WriteHeic(const Surface& picture, const HeicParts& parts = {});

} // namespace zembra::testing
