// zembra-batch names copies of real camera samples by their date and time taken.
#include "cli/batch_job.h"
#include "exif/sample_manifest.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace zembra::testing {
namespace {

// Camera dates whose time is cut short by their count or is no time at all.
TEST(SampleDates, TimeStampsOfOddCameras) {
    if (SamplesDir().empty())
        GTEST_SKIP() << "shared exif-samples not found";
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"mei__jpg__Kodak_ProBack.jpg", "20040313 H-123304.jpg"}, // count 19, no NUL
        {"es__jpg__Kodak_CX7530.jpg", "20050813 H-094723.jpg"},   // count 19, no NUL
        {"mei__jpg__FujiFilm_DX-5.jpg", "H-001.jpg"},             // blank-filled date
        {"mei__jpg__FujiFilm_SP-2500.jpg", "H-001.jpg"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::filesystem::copy_file(SamplesDir() + "/files/" + c.file, dir / c.file);
        const auto parsed =
            ParseBatchArgs({"--action", "2", "--name", "H", "--date", "1", "--time", dir / c.file});
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch(*parsed.options, out, err, false), kAllProcessed) << c.file;
        EXPECT_TRUE(std::filesystem::exists(dir / c.name)) << c.file << " -> " << dir.Listing();
    }
}

} // namespace
} // namespace zembra::testing
