// The EXIF classes against the shared real camera pictures and their manifest.

#include <gtest/gtest.h>

#include <regex>

#include "exif/cls_exif.h"
#include "exif/exif_reader.h"
#include "exif/tag_table.h"
#include "exif_test_support.h"
#include "sample_manifest.h"

namespace zembra {
namespace {

using testing::Sample;

class Samples : public ::testing::Test {
  protected:
    void SetUp() override {
        manifest_ = testing::LoadManifest();
        if (manifest_.empty())
            GTEST_SKIP() << "shared exif-samples not found";
    }
    std::vector<Sample> manifest_;
};

TEST_F(Samples, DateTakenMatchesTheManifest) {
    int dated = 0;
    for (const Sample& s : manifest_) {
        ExifReader reader;
        try {
            reader.Load(s.path);
        } catch (const ExifError&) {
            // Damaged blocks raise; what was read before still answers.
        }
        const std::string date = reader.Tag(exif::kDateTimeOriginal);
        EXPECT_EQ(date, ExpectedDate(s)) << s["file"];
        dated += date.empty() ? 0 : 1;
        EXPECT_EQ(reader.IsIntel() && reader.Loaded(), s["byte_order"] == "II" && reader.Loaded())
            << s["file"];
    }
    EXPECT_GT(dated, 60);
}

// The length of the APP1 at `offset`, from the "offset:kind:length" items of app1_segments.
std::size_t App1LengthAt(const Sample& s, const std::string& offset) {
    std::smatch m;
    const std::string& items = s["app1_segments"];
    if (!std::regex_search(items, m, std::regex("(^| )" + offset + ":[^ ]*:([0-9]+)")))
        ADD_FAILURE() << s["file"] << ": no APP1 at " << offset;
    return m.empty() ? 0 : std::stoul(m[2]);
}

TEST_F(Samples, RemoveThenCopyMovesExactlyTheFirstApp1) {
    int moved = 0;
    for (const Sample& s : manifest_) {
        if (s["format"] != "jpeg" || s["walk_end"] != "SOS")
            continue;
        testing::MemoryFiles files;
        const Bytes original = *Files::Local().ReadAll(s.path);
        files.files["/src.jpg"] = files.files["/out.jpg"] = original;
        clsEXIF exif(files, "/nonexistent");
        exif.RemoveEXIFHeader("/out.jpg");
        if (s["walk_first_app1_offset"].empty()) {
            EXPECT_EQ(files.writes, 0) << s["file"];
            continue;
        }
        const auto at = static_cast<std::ptrdiff_t>(std::stoul(s["walk_first_app1_offset"]));
        const auto end =
            at + 2 + static_cast<std::ptrdiff_t>(App1LengthAt(s, s["walk_first_app1_offset"]));
        const auto o = original.begin();
        const Bytes stripped = testing::Concat({Bytes(o, o + at), Bytes(o + end, original.end())});
        EXPECT_EQ(files.files["/out.jpg"], stripped) << s["file"];
        exif.CopyEXIFHeader("/src.jpg", "/out.jpg");
        EXPECT_EQ(files.files["/out.jpg"],
                  testing::Concat({Bytes(o, o + 2), Bytes(o + at, o + end),
                                   Bytes(stripped.begin() + 2, stripped.end())}))
            << s["file"];
        ++moved;
    }
    EXPECT_GT(moved, 60);
}

} // namespace
} // namespace zembra
