// The GIF decoder on arbitrary bytes: it may fail, never crash, hang or read out
// of bounds.
#include "imaging_fuzz_limits.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    const ByteSpan bytes(data, size);
    const DecodeLimits limits = FuzzLimits();
    (void)DecodeGif(bytes, limits, 0);
    // Animations: counting frames and composing a later one walk other paths.
    if (GifFrameCount(bytes) > 1)
        (void)DecodeGif(bytes, limits, 1);
    return 0;
}
