#pragma once
// The EXIF block of pictures that do not keep it in a JPEG APP1 segment: the
// EXIF chunk of a WebP file and the Exif item of a HEIF file (HEIC, AVIF). Both
// containers are walked box by box with every read bounds-checked.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/files.h"

namespace zembra::exif {

// Whether the bytes start as a WebP or HEIF file does.
bool IsExifContainer(std::span<const std::uint8_t> file);

// The block from its TIFF header ("II*\0" or "MM\0*") on; nullopt when the file
// is no WebP or HEIF file, has no EXIF block, or it lies past the bytes given.
std::optional<Bytes> ContainerExifBlock(std::span<const std::uint8_t> file);

// The same for any picture: a JPEG's first APP1 segment marked "Exif", else a
// container's block.
std::optional<Bytes> ExifTiffBlock(std::span<const std::uint8_t> file);

// A JPEG start (SOI, then one APP1 segment holding `tiffBlock`) that the EXIF
// reader walks as it walks a camera's picture.
Bytes AsExifApp1File(std::span<const std::uint8_t> tiffBlock);

} // namespace zembra::exif
