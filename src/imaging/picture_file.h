#pragma once
// Picture files on disk: reading and decoding them, turning a decoded picture into
// a picture object, and encoding a picture object into a file.

#include "imaging/codec.h"
#include "imaging/gp_bitmap.h"
#include "imaging/status.h"
#include "platform/files.h"
#include "platform/surface.h"

#include <memory>
#include <string>

namespace zembra {

// The whole file. A missing file fails with FileNotFound, a forbidden one with
// AccessDenied, anything else (a folder, a read error) with Win32Error.
Result<std::shared_ptr<const Bytes>> ReadPictureFile(const std::string& path);

// Reads and decodes frame 0 of a file; the bitmap keeps the file's bytes.
Result<GpBitmap> LoadPictureFile(const std::string& path, const DecodeLimits& limits = {});

// The first frame of a picture file row by row, each row as MakePicture would make
// it. JPEG files are decoded as the rows are read, so the whole picture is never
// held; other formats are decoded whole first.
Result<std::unique_ptr<DecodedRows>> OpenPictureRows(const std::string& path,
                                                     std::uint32_t background = 0,
                                                     const DecodeLimits& limits = {});

// An opaque picture object: transparent parts are laid over `background`
// (0x00BBGGRR), each channel rounded to nearest. The pixels are moved, not copied.
PictureRef MakePicture(GpBitmap&& bitmap, std::uint32_t background = 0);
PictureRef MakePicture(const GpBitmap& bitmap, std::uint32_t background = 0);

// Encodes a picture with a codec and writes it whole (a failed write leaves no
// partial file behind).
std::optional<Failure> SavePicture(const Surface& picture, const Codec& codec,
                                   const EncodeOptions& options, const std::string& path,
                                   Files& files);

// Writes an encoded picture whole, with SavePicture's failures.
std::optional<Failure> WritePicture(const Bytes& encoded, const std::string& path, Files& files);

// Straight-alpha colour laid over an opaque colour, per channel rounded to nearest.
std::uint32_t OverOpaque(std::uint32_t pixel, std::uint32_t background);

} // namespace zembra
