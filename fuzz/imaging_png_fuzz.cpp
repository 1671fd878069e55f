// The PNG decoder on arbitrary bytes: it may fail, never crash, hang or read out
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
    (void)DecodePng(bytes, limits, 0);
    return 0;
}
