// The PNG decoder on arbitrary bytes: it may fail, never crash, hang or read out
// of bounds.
#include "imaging_fuzz_limits.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    const ByteSpan bytes(data, size);
    const DecodeLimits limits = FuzzLimits();
    (void)DecodePng(bytes, limits, 0);
    return 0;
}
