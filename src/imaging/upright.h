#pragma once
// Pictures turned the right way up by their EXIF Orientation value: 1 as it is
// stored, 2 to 8 mirrored and/or turned by quarter turns.

#include "imaging/codec.h"

#include <memory>

namespace zembra {

// The picture as it is meant to be seen; 5 to 8 swap its sides. Values outside
// 1 to 8 leave it as it is.
Surface TurnedUpright(const Surface& picture, int orientation);

// A picture shown upright (a preview, a thumbnail); null stays null.
PictureRef TurnedUpright(PictureRef picture, int orientation);

// The same for rows, which are all read first: a quarter turn needs the last row
// before the first can be made. A damaged file gives no rows, and its failure.
std::unique_ptr<DecodedRows> TurnedUprightRows(std::unique_ptr<DecodedRows> rows, int orientation);

} // namespace zembra
