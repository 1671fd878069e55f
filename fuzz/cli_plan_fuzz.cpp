// The plan file reader on arbitrary bytes, with the job flags it holds: what it
// accepts, written again, reads back the same.
#include "cli/batch_options.h"
#include "main/picture_plan.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto plan =
        zembra::ParsePlanFile(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!plan) {
        if (error.empty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    zembra::ParseJobFlags(plan->flags);
    const auto again = zembra::ParsePlanFile(zembra::PlanFileText(plan->flags, plan->rows), error);
    if (!again || again->flags != plan->flags || again->rows.size() != plan->rows.size())
        __builtin_trap();
    for (std::size_t k = 0; k < again->rows.size(); ++k) {
        if (!(again->rows[k] == plan->rows[k]))
            __builtin_trap();
    }
    return 0;
}
