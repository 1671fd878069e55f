// The GIF decoder on arbitrary bytes: it may fail, never crash, hang or read out
// of bounds.
#include "imaging/codec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    const ByteSpan bytes(data, size);
    DecodeLimits limits;
    limits.maxPixels = 1 << 22; // keeps each input within the fuzzer's memory and time
    limits.maxJpegScans = 100;
    (void)DecodeGif(bytes, limits, 0);
    // Animations: counting frames and composing a later one walk other paths.
    if (GifFrameCount(bytes) > 1)
        (void)DecodeGif(bytes, limits, 1);
    return 0;
}
