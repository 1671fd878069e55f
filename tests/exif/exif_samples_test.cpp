// The EXIF classes against real camera pictures and what exiftool read from them.

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
using testing::Unescaped;

std::string Trimmed(std::string text) {
    std::erase(text, '\0');
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

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
        const std::string expected = ExpectedDate(s);
        EXPECT_EQ(date, expected) << s["file"];
        if (!s["exififd_dto_exiftool"].empty() && !expected.empty()) {
            // Where both read a date they agree, up to the odd counts above.
            EXPECT_EQ(Trimmed(s["exififd_dto_exiftool"]).substr(0, Trimmed(date).size()),
                      Trimmed(date))
                << s["file"];
        }
        dated += date.empty() ? 0 : 1;
        EXPECT_EQ(reader.IsIntel() && reader.Loaded(), s["byte_order"] == "II" && reader.Loaded())
            << s["file"];
    }
    EXPECT_GT(dated, 60);
}

TEST_F(Samples, ClsExifReadsTheFirstBlockWithinItsWindow) {
    int read = 0;
    for (const Sample& s : manifest_) {
        clsEXIF exif(Files::Local(), "/nonexistent");
        try {
            exif.ReadEXIF(s.path);
        } catch (const ExifError& e) {
            // Blocks longer than the 4096 bytes looked at end in a parse error.
            EXPECT_EQ(e.Number(), 11) << s["file"];
        }
        const bool exifInWindow = s["first_app1_kind"] == "EXIF" &&
                                  std::stoul(s["first_ffe1_offset"]) + 10 <= clsEXIF::kReadLimit;
        if (exifInWindow) {
            EXPECT_NE(exif.Status(), clsEXIF::kStatusNotExif) << s["file"];
        }
        if (exif.Status() != clsEXIF::kStatusRead)
            continue;
        ++read;
        const std::string expected = ExpectedDate(s);
        if (expected.empty() || s["dto_exiftool_group"] == "IFD0")
            continue;
        // clsEXIF shows all `count` bytes of the text, without NULs.
        std::string raw = Unescaped(s["exif_dto_raw"]);
        std::erase(raw, '\0');
        std::string shown;
        exif.MetaInfo(exif::kDateTimeOriginal, shown);
        EXPECT_EQ(shown, raw) << s["file"];
    }
    EXPECT_GT(read, 40);
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
