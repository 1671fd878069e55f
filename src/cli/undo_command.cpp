#include "cli/undo_command.h"

#include "cli/batch_job.h"
#include "platform/run_journal.h"
#include "platform/undo.h"

namespace zembra {

int RunUndo(const std::string& journal, std::ostream& out, std::ostream& err) {
    const std::string path = journal.empty() ? NewestJournal(JournalFolder()) : journal;
    if (path.empty()) {
        out << "nothing to undo" << std::endl;
        return kAllProcessed;
    }
    const UndoOutcome outcome = UndoRun(path, Files::Local());
    for (const std::string& line : outcome.reverted)
        out << "undone: " << line << '\n';
    for (const std::string& line : outcome.leftAlone)
        err << "left alone: " << line << '\n';
    if (!outcome.readable) {
        err << "zembra-batch: " << path << ": not a run journal this program can read or mark"
            << std::endl;
        return kRefused;
    }
    if (outcome.reverted.empty() && outcome.leftAlone.empty())
        out << "nothing to undo" << std::endl;
    out << std::flush;
    return outcome.leftAlone.empty() ? kAllProcessed : kSomeSkipped;
}

} // namespace zembra
