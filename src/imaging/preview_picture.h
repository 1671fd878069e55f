#pragma once
// Pictures for a preview: decoded no larger than they are shown, so that a large
// photograph costs a fraction of a full decode.

#include "platform/surface.h"

#include <string>

namespace zembra {

struct PreviewPicture {
    PictureRef picture; // null when the file cannot be read or decoded
    int width = 0;      // the file's own size, whatever size the picture has
    int height = 0;
};

// Loads the first frame of a picture file, shrunk to fit a box of boxWidth x
// boxHeight pixels with its shape kept (never enlarged). Transparent parts are
// black, as in a picture loaded whole.
PreviewPicture LoadPreviewPicture(const std::string& path, int boxWidth, int boxHeight);

} // namespace zembra
