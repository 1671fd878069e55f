// ExifReader's walk over arbitrary bytes (what Load does after reading a file).
#include <cstddef>
#include <cstdint>

#include "exif/exif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zembra::ExifReader reader;
    try {
        reader.LoadBytes(zembra::Bytes(data, data + size));
    } catch (const zembra::ExifError&) {
    }
    (void)reader.Tag(36867).ToString();
    (void)reader.Tag(0);
    return 0;
}
