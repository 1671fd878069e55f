#pragma once
// zembra-batch's job: set the controls from the options as a user would, list the
// pictures, press "Process All" and report what became of each picture.

#include "cli/batch_options.h"

#include <ostream>

namespace zembra {

class Form1;

enum BatchExit { kAllProcessed = 0, kSomeSkipped = 1, kRefused = 2, kInterrupted = 130 };

// Applies the options to a loaded form; false when a field refused its value.
bool ApplyOptions(Form1& form, const BatchOptions& options);

// Runs the whole job. `progress` asks for a "picture n of m" line on err.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, bool progress);

} // namespace zembra
