// zembra-batch's argument parser on arbitrary argument lists ('\0' separates arguments).
#include "cli/batch_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const zembra::ParsedArgs parsed = zembra::ParseBatchArgs(args);
    if (!parsed.options && parsed.error.empty())
        __builtin_trap(); // a refusal always says why
    return 0;
}
