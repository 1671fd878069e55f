// zembra-batch names a copy of every real camera sample by the date it was taken.
#include "cli/batch_job.h"
#include "exif/sample_manifest.h"
#include "main/picture_naming.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace zembra::testing {
namespace {

// Format 1 ("CCYYMMDD") of a well-formed date; odd values take the naming's own path.
std::string DatePart(const std::string& date) {
    static const std::regex wellFormed(R"((\d{4}):(\d\d):(\d\d) \d\d:\d\d:\d\d)");
    std::smatch m;
    if (std::regex_match(date, m, wellFormed))
        return m[1].str() + m[2].str() + m[3].str();
    return SplitDateTaken(date, 1).DateText;
}

TEST(SampleDates, CopiesAreNamedByTheDateTaken) {
    const std::vector<Sample> manifest = LoadManifest();
    if (manifest.empty())
        GTEST_SKIP() << "shared exif-samples not found";
    int dated = 0;
    for (const Sample& s : manifest) {
        TempDir dir;
        const std::string picture = dir / s["file"];
        std::filesystem::copy_file(s.path, picture);
        BatchOptions options;
        options.action = 2;
        options.name = "X";
        options.dateFormat = 1;
        options.pictures = {picture};
        std::ostringstream out, err;
        RunBatch(options, out, err, false);

        const std::string date = DatePart(ExpectedDate(s));
        const std::string ext = ExtensionOf(s["file"]);
        const bool supported = IsSupportedExtension(ext);
        const std::string expected =
            (date.size() > 1 ? date + " X-001" : std::string("X-001")) + ext;
        if (supported)
            EXPECT_TRUE(std::filesystem::exists(dir / expected))
                << s["file"] << " -> " << dir.Listing();
        else
            EXPECT_EQ(dir.Listing(), s["file"]);
        dated += date.size() > 1 ? 1 : 0;
    }
    EXPECT_GE(dated, 50); // most samples carry a date
}

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
