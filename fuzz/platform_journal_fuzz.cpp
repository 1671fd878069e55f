// The run journal parser over arbitrary text; what it reads must come back the
// same when written out again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/journal_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto steps = zembra::ParseJournal(text);
    if (!steps)
        return 0;
    std::string again = std::string(zembra::kJournalHeader) + "\n";
    int number = 0;
    for (const zembra::JournalStep& step : *steps) {
        again += zembra::IntentLine(++number, step) + "\n";
        if (step.done)
            again += zembra::DoneLine(number, step) + "\n";
        if (step.undone)
            again += zembra::UndoneLine(number) + "\n";
    }
    const auto reread = zembra::ParseJournal(again);
    if (!reread || reread->size() != steps->size())
        std::abort();
    for (std::size_t k = 0; k < steps->size(); ++k) {
        const zembra::JournalStep& a = (*steps)[k];
        const zembra::JournalStep& b = (*reread)[k];
        if (a.path != b.path || a.target != b.target || !(a.file == b.file) ||
            !(a.original == b.original) || a.done != b.done || a.undone != b.undone ||
            a.trashFile != b.trashFile || a.deleted != b.deleted || a.made != b.made)
            std::abort();
    }
    return 0;
}
