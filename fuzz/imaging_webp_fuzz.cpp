// The WebP decoder on arbitrary bytes: it may fail, never crash, hang or read out
// of bounds.
#include "imaging_fuzz_limits.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    const ByteSpan bytes(data, size);
    (void)DecodeWebp(bytes, FuzzLimits(), 0);
    return 0;
}
