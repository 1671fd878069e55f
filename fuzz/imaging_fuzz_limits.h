#pragma once
// Decode limits for the picture fuzzers: small enough that every input stays
// within the fuzzer's memory and time.

#include "imaging/codec.h"

namespace zembra {

inline DecodeLimits FuzzLimits() {
    DecodeLimits limits;
    limits.maxPixels = 1 << 22;
    limits.maxJpegScans = 100;
    return limits;
}

} // namespace zembra
