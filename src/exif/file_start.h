#pragma once
// The start of a picture file, read for its EXIF block. Cameras put the block in
// the first few kilobytes, but editors may put XMP first: several APP1 segments
// of up to 64 KiB each, so the EXIF APP1 can stand past any fixed head.

#include <cstddef>
#include <optional>
#include <string>

#include "exif/segment_walk.h"
#include "platform/files.h"

namespace zembra::exif {

// Past this much, marker segments are not followed any further: no editor
// writes that much ahead of the picture data.
constexpr std::size_t kMostHeadBytes = 64 * 1024 * 1024;

struct FileStart {
    Bytes bytes;
    bool whole = false; // the file ended within what was read
};

// The first `first` bytes, read further (up to kMostHeadBytes) only while they
// end inside a JPEG's marker segments before any EXIF APP1; nullopt when the
// file cannot be read.
std::optional<FileStart> ReadExifStart(const Files& files, const std::string& path,
                                       std::size_t first = kHeadBytes);

} // namespace zembra::exif
