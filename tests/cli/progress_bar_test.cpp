#include "cli/progress_bar.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(ProgressBar, ShowsDoneRateAndTimeLeftWithinTheLine) {
    const struct {
        int done, total;
        double seconds;
        int columns;
        const char* line;
    } cases[] = {
        // Nothing ended yet: no rate to tell the time left by.
        {0, 16, 0.5, 80, "[                    ] 0/16"},
        {4, 16, 2.0, 80, "[#####               ] 4/16  2.0 pictures/s  0:06 left"},
        {16, 16, 8.0, 80, "[####################] 16/16  2.0 pictures/s  0:00 left"},
        {1, 3001, 1.5, 80, "[                    ] 1/3001  0.7 pictures/s  1:15:00 left"},
        // A narrow terminal: cut one short of its width, so the line never wraps.
        {4, 16, 2.0, 20, "[#####             "},
        // An empty run draws an empty bar rather than dividing by nothing.
        {0, 0, 0.0, 80, "[                    ] 0/1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressBarText(c.done, c.total, c.seconds, c.columns), c.line) << c.line;
}

} // namespace
} // namespace zembra
