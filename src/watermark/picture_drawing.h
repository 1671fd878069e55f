#pragma once
// Putting a picture file onto a hidden box the way the watermark procedures and
// the preview need it: at the file's own pixel size, with transparent parts laid
// over what the box already holds.

#include "imaging/bitmap.h"
#include "platform/controls.h"
#include "platform/picture_box.h"

#include <functional>
#include <string>

namespace zembra {

// Draws the image onto the box at (0, 0), unscaled, over the box's pixel size (the
// caller has given the box the image's size). False when nothing could be drawn.
bool DrawAtOwnSize(PictureBox& box, const cBitmap& image);

// Sizes and places the preview for a box's picture: the longer side 2300 twips
// across, centred in the preview's 2300-twip square whose corner is (600, 285).
void FitPreview(ImageControl& preview, const PictureBox& box);

// The box takes the size of the picture in `path`, the preview is fitted to it,
// the box is cleared and loses its picture (keeping its size), `afterClearing`
// runs, and the file is drawn onto the box at its own size and refreshed. Each
// step that fails is left out; `onError` hears why the file did not load. True
// when the picture was drawn. One decode serves both the size and the drawing.
// An EXIF `orientation` other than 1 turns the picture upright first.
bool DrawPictureFitted(PictureBox& box, ImageControl& preview, const std::string& path,
                       const std::function<void()>& afterClearing = {},
                       ErrorEvent::Listener onError = {}, int orientation = 1);

} // namespace zembra
