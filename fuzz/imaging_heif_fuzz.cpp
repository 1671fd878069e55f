// The HEIF decoder (HEIC and AVIF) on arbitrary bytes: it may fail, never crash,
// hang or read out of bounds, whole or shrunk for a preview.
#include "imaging_fuzz_limits.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    const ByteSpan bytes(data, size);
    (void)DecodeHeif(bytes, FuzzLimits(), 0);
    // As for a preview: a thumbnail or a scaled decode, at least 16 x 12.
    (void)DecodeHeifReduced(bytes, FuzzLimits(), 16, 12);
    return 0;
}
