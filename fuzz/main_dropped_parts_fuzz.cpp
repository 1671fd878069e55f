// What an output leaves out, on arbitrary bytes: PNG chunks and frame counts
// are walked without reading past the end.
#include "main/dropped_parts.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)zembra::DroppedParts(std::span<const std::uint8_t>(data, size));
    return 0;
}
