#pragma once
// zembra-batch --undo: takes a run back by its journal and says what it did.

#include <ostream>
#include <string>

namespace zembra {

// `journal` empty: the newest journal. A line per step taken back on `out`, per
// step left alone on `err`; 0 when nothing was left alone, 1 when something
// was, 2 when the journal cannot be read.
int RunUndo(const std::string& journal, std::ostream& out, std::ostream& err);

} // namespace zembra
