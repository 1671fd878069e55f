#pragma once
// The rules of the folder import dialog that need no window: which files are
// pictures, how a folder is named in the folder list, where thumbnails go.

#include <array>
#include <string>
#include <string_view>

namespace zembra {

// A name ending, in any letter case, in .jpg, .jpeg, .bmp, .gif, .tif, .tiff or .png.
bool IsPictureFile(std::string_view name);

// The folder's last path element, or the whole path for the root; over 20
// characters it becomes "..." and the last 18.
std::string FolderDisplayName(std::string_view path);

// A folder path with exactly one "/" at its end.
std::string WithSlash(std::string_view folder);

// [SECTION] Thumbnail slots, in twips inside the preview frame.
inline constexpr int kThumbSide = 1335;
inline constexpr int kThumbTop = 240;
inline constexpr std::array<int, 4> kThumbLefts = {120, 1560, 3000, 4440};

struct ThumbPlacement {
    double left = 0, top = 0, width = 0, height = 0;
};

// Slot `slot`'s square holding a picture of the given size: the longer side fills
// the square and the picture is centred along the shorter one.
ThumbPlacement PlaceThumbnail(int slot, int pictureWidth, int pictureHeight);

} // namespace zembra
