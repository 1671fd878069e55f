// Dated names from real EXIF blocks in both byte orders, through the whole run.
#include "exif/exif_test_support.h"
#include "exif/tag_table.h"
#include "form_fixture.h"

#include <filesystem>

namespace zembra::testing {
namespace {

using E = TiffBuilder::Entry;

// A JPEG whose Exif directory holds the date taken.
Bytes DatedJpeg(ByteOrder order, const std::string& date) {
    TiffBuilder t(order);
    const std::uint32_t ifd0 = t.Directory({{exif::kExifOffset, exif::kLong, 1, t.Field32(0)}});
    const std::uint32_t dateAt = t.Data(ToBytes(date + '\0'));
    const std::uint32_t exifDir =
        t.Directory({{exif::kDateTimeOriginal, exif::kAscii,
                      static_cast<std::uint32_t>(date.size() + 1), t.Field32(dateAt)}});
    t.Patch32(ifd0 + 2 + 8, exifDir);
    return ExifJpeg(t);
}

struct NameCase {
    int format; // -1: time stamp instead of the number
    const char* name;
};

class DatedNames : public FormTest,
                   public ::testing::WithParamInterface<std::tuple<ByteOrder, NameCase>> {};

TEST_P(DatedNames, EveryFormatInBothByteOrders) {
    const auto [order, c] = GetParam();
    ASSERT_TRUE(Files::Local().WriteAll(dir / "img.jpg", DatedJpeg(order, "2008:05:17 10:11:12")));
    Add(dir / "img.jpg");
    form.Check1.setValue(1);
    if (c.format >= 0)
        form.Combo1.setListIndex(c.format);
    else
        form.Check2.setValue(1);
    Run(2, "Holiday");
    EXPECT_EQ(dir.Listing(), std::string(c.name) + " img.jpg");
}

INSTANTIATE_TEST_SUITE_P(
    Table, DatedNames,
    ::testing::Combine(
        ::testing::Values(ByteOrder::Little, ByteOrder::Big),
        ::testing::Values(
            NameCase{0, "2008, 05-17 Holiday-001.jpg"}, NameCase{1, "20080517 Holiday-001.jpg"},
            NameCase{2, "2008-05-17 Holiday-001.jpg"}, NameCase{3, "08-05-17 Holiday-001.jpg"},
            NameCase{4, "080517 Holiday-001.jpg"}, NameCase{5, "05172008 Holiday-001.jpg"},
            NameCase{6, "05-17-2008 Holiday-001.jpg"}, NameCase{7, "051708 Holiday-001.jpg"},
            NameCase{8, "05-17-08 Holiday-001.jpg"}, NameCase{-1, "20080517 Holiday-101112.jpg"})));

// A date that names a folder is no date: the copy stays beside its source and
// takes the running number, not the time.
TEST_F(FormTest, HostileDateNamesNoFolder) {
    std::filesystem::create_directories(dir / "2008/05");
    ASSERT_TRUE(Files::Local().WriteAll(dir / "img.jpg",
                                        DatedJpeg(ByteOrder::Little, "2008/05/17 10:11:12")));
    Add(dir / "img.jpg");
    form.Check1.setValue(1);
    form.Check2.setValue(1);
    form.Combo1.setListIndex(0);
    Run(2, "Holiday");
    EXPECT_EQ(dir.Listing(), "2008 Holiday-001.jpg img.jpg");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "2008/05"));
}

} // namespace
} // namespace zembra::testing
