// ExifReader against the shared real camera pictures and their manifest.

#include <gtest/gtest.h>

#include "exif/exif_reader.h"
#include "exif/tag_table.h"
#include "sample_manifest.h"

namespace zembra::testing {
namespace {

TEST(Samples, DateTakenMatchesTheManifest) {
    const std::vector<Sample> manifest = LoadManifest();
    if (manifest.empty())
        GTEST_SKIP() << "shared exif-samples not found";
    int dated = 0;
    for (const Sample& s : manifest) {
        SCOPED_TRACE(s["file"]);
        ExifReader reader;
        try {
            reader.Load(s.path);
        } catch (const ExifError&) {
            // Damaged blocks raise; what was read before still answers.
        }
        const std::string date = reader.Tag(exif::kDateTimeOriginal);
        EXPECT_EQ(date, ExpectedDate(s));
        dated += date.empty() ? 0 : 1;
        EXPECT_EQ(reader.IsIntel() && reader.Loaded(), s["byte_order"] == "II" && reader.Loaded());
    }
    EXPECT_GT(dated, 60);
}

} // namespace
} // namespace zembra::testing
