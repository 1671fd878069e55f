#pragma once
// The JPEG segment walk behind EXIF header removal and copying, over bytes in
// memory. Segments are not validated beyond what the walk needs: any APP1 counts,
// whatever its payload.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/files.h"

namespace zembra::exif {

// How much of a file is read first when looking for its EXIF block: cameras put
// it in the first few kilobytes, so large pictures need not be read whole.
constexpr std::size_t kHeadBytes = 256 * 1024;

struct Segment {
    std::size_t pos = 0;    // offset of the marker's first byte
    std::size_t length = 0; // the length field: counts itself and the payload, not the marker
};

// The first APP1 (FF E1) met walking marker by marker from offset 2, stepping over
// fill bytes (FF FF ...) before a marker. The walk does not stop at the scan data:
// valid entropy-coded data holds no FF E1 or FF FF pair, so it runs off the end.
std::optional<Segment> FindFirstApp1(std::span<const std::uint8_t> file);

enum class StripOutcome {
    NoApp1,     // nothing to remove; the file stays as it is
    Removed,    // `bytes` holds the file without its first APP1
    PastTheEnd, // the APP1's length runs past the end of the file
};

struct StripResult {
    StripOutcome outcome = StripOutcome::NoApp1;
    Bytes bytes;
};

// The file without its first APP1 segment (marker, length field and payload).
StripResult WithoutFirstApp1(std::span<const std::uint8_t> file);

// The whole first APP1 segment of `file`; nullopt when there is none or it runs
// past the end.
std::optional<std::span<const std::uint8_t>> FirstApp1Bytes(std::span<const std::uint8_t> file);

// The first APP1 segment whose payload is an EXIF block, wherever other APP1
// segments (XMP) stand before it; without one, the first APP1 as above.
std::optional<std::span<const std::uint8_t>> ExifApp1Bytes(std::span<const std::uint8_t> file);

// How much of a file's start the walk to its EXIF APP1 needs: 0 when `start`
// already does, as it holds that APP1 whole or the marker segments end within
// it (the picture data begins, a byte is no marker, or it is no JPEG); else a
// length beyond start.size() that the walk needs to go on.
std::size_t ExifApp1Reach(std::span<const std::uint8_t> start);

// `dest` with `segment` inserted after its first two bytes (its SOI); nullopt
// when `dest` has fewer than two bytes.
std::optional<Bytes> WithSegmentAfterSoi(std::span<const std::uint8_t> dest,
                                         std::span<const std::uint8_t> segment);

} // namespace zembra::exif
