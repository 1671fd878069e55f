#pragma once
// The Orientation tag of an EXIF block, and the changes that make a block
// describe its picture once turned upright.

#include <cstdint>
#include <span>
#include <string>

#include "platform/files.h"

namespace zembra::exif {

// The Orientation tag (1 to 8) of IFD0 in a block from its TIFF header on; 1
// when there is none or it is out of range.
int OrientationOf(std::span<const std::uint8_t> tiff);

// The orientation a picture file is shown by: its EXIF Orientation, read from
// the file's start; 1 for HEIF files (HEIC, AVIF), which their decoder turns by
// the container's own marks, and for files without one.
int FileOrientation(const Files& files, const std::string& path);

// Patches the block in place for a width x height picture turned upright:
// Orientation 1, the image and pixel sizes, and the thumbnail (which would stay
// sideways) unlinked. False when the block cannot be walked; it may then be
// partly patched, which only ever moves it towards upright.
bool MarkUpright(std::span<std::uint8_t> tiff, int width, int height);

// The same for the EXIF APP1 segment of a JPEG file; false when it has none.
bool MarkUprightInJpeg(Bytes& jpeg, int width, int height);

} // namespace zembra::exif
