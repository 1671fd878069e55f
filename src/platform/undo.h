#pragma once
// Takes a run back by its journal, last step first: the outputs it made go to
// the Trash, renamed files get their names back and originals come back from the
// Trash. A file that changed since the run, or a name taken again, is left alone
// and reported. Each step taken back is marked in the journal, so a second undo
// does nothing and an undo that was killed carries on where it stopped.

#include "platform/files.h"

#include <string>
#include <vector>

namespace zembra {

struct UndoOutcome {
    bool readable = true;               // false: the journal could not be read or marked
    std::vector<std::string> reverted;  // one line per step taken back
    std::vector<std::string> leftAlone; // one line per step left as it is, with why
};

UndoOutcome UndoRun(const std::string& journalPath, Files& files);

// Whether the journal holds a step not yet taken back.
bool HasStepsToUndo(const std::string& journalPath);

} // namespace zembra
