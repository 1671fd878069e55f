#pragma once
// zembra-batch's job: set the controls from the options as a user would, list the
// pictures, press "Process All" and report what became of each picture.

#include "cli/batch_options.h"

#include <ostream>
#include <string>

namespace zembra {

class Form1;
class BatchServices;

enum BatchExit { kAllProcessed = 0, kSomeSkipped = 1, kRefused = 2 };

// Applies the options to a loaded form; false when a field refused its value.
bool ApplyOptions(Form1& form, const BatchOptions& options);

// Chooses the watermark as the panel does, once the pictures are listed (the
// slider prepares the wash only then); false when the file cannot be read.
bool ApplyWatermark(Form1& form, BatchServices& services, const BatchOptions& options,
                    const std::string& file);

// Runs the whole job. `barColumns`: the width of the terminal the progress bar
// is drawn on, 0 for none. A run stopped by a signal returns 128 + its number.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err, int barColumns = 0);

} // namespace zembra
