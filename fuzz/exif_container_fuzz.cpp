// The EXIF block of WebP, HEIF and JPEG files found in arbitrary bytes, and the
// upright marks written into what is found: bounds-checked, never out of range.
#include <cstddef>
#include <cstdint>

#include "exif/container_exif.h"
#include "exif/upright_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    const std::span<const std::uint8_t> bytes(data, size);
    if (auto block = exif::ExifTiffBlock(bytes)) {
        (void)exif::OrientationOf(*block);
        (void)exif::MarkUpright(*block, 640, 480);
    }
    Bytes copy(bytes.begin(), bytes.end());
    (void)exif::MarkUprightInJpeg(copy, 70000, 3);
    return 0;
}
