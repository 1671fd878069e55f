// The JPEG decoder read row by row, with rows skipped as a shrinking resize skips
// them, on arbitrary bytes: it may fail, never crash, hang or read out of bounds.
#include "imaging_fuzz_limits.h"
#include "platform/stretched_rows.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zembra;
    if (size < 2)
        return 0;
    // The first two bytes choose the target size; the rest is the file.
    const int width = 1 + data[0] % 64, height = 1 + data[1] % 64;
    auto rows = OpenJpegRows(std::make_shared<const Bytes>(data + 2, data + size), FuzzLimits());
    if (!rows)
        return 0;
    StretchedRows stretched(*rows.value(), width, height);
    for (int y = 0; y < height && stretched.Next() != nullptr; ++y) {
    }
    stretched.Finish();
    return 0;
}
