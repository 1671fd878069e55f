#pragma once
// The one-line progress bar zembra-batch keeps on a terminal's stderr.

#include <string>

namespace zembra {

// "[########            ]  5/16  2.1 pictures/s  0:05 left", at most `columns` - 1
// characters, so the line never wraps. The rate and the time left show once a
// picture has ended.
std::string ProgressBarText(int done, int total, double seconds, int columns);

} // namespace zembra
