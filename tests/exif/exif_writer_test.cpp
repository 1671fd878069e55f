#include <gtest/gtest.h>

#include "exif/cls_exif.h"
#include "exif/exif_reader.h"
#include "exif/segment_walk.h"
#include "exif_test_support.h"

namespace zembra {
namespace {

using namespace exif;
using testing::ExifJpeg;
using testing::MemoryFiles;
using testing::TiffBuilder;
using testing::ToBytes;

TEST(StringFromBVal, OrdersAndPadsTheBytes) {
    struct Case {
        std::int64_t value;
        bool intel;
        int length;
        std::string bytes;
    } cases[] = {
        {0x0102, true, 4, std::string("\x02\x01\0\0", 4)},
        {0x0102, false, 4, std::string("\0\0\x01\x02", 4)},
        {0x0102, false, 2, "\x01\x02"},
        {0x0A0B0C, true, 2, "\x0C\x0B"}, // cut to the length asked for
        {-1, true, 2, "\xFF\xFF"},
        {7, true, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clsEXIF::StringFromBVal(c.value, c.intel, c.length), c.bytes) << c.value;
}

// A little-endian source block: Make, Orientation, XResolution and an Exif pointer.
Bytes SourcePicture() {
    TiffBuilder t(ByteOrder::Intel);
    const std::uint32_t ifd0 = t.Directory({
        {271, kAscii, 6, ToBytes(std::string("Canon") + '\0')},
        {274, kShort, 1, t.Field16(6)},
        {282, kRational, 1, t.Numbers({300, 1})},
        {kExifOffset, kLong, 1, t.Field32(0)},
    });
    t.Patch32(
        ifd0 + 2 + 36 + 8,
        t.Directory({{36867, kAscii, 20, ToBytes(std::string("2008:05:17 10:11:12") + '\0')}}));
    return ExifJpeg(t);
}

TEST(WriteExif, WritesTheRecordsAsABigEndianBlockInPlaceOfTheOldOne) {
    MemoryFiles files;
    files.files["/src.jpg"] = SourcePicture();
    files.files["/dst.jpg"] = SourcePicture();
    clsEXIF exif(files, "/opt/zembra");
    exif.ImageFile("/src.jpg");
    exif.SetArtist("A");
    exif.SetArtist("Ann Lee"); // replaces the first
    exif.WriteEXIF("/dst.jpg");
    EXPECT_FALSE(exif.IntelByteAlignment());

    const Bytes& written = files.files["/dst.jpg"];
    // SOI, then our APP1 with a big-endian TIFF header and IFD0 at 8.
    const Bytes head = {0xFF, 0xD8, 0xFF, 0xE1};
    ASSERT_TRUE(std::equal(head.begin(), head.end(), written.begin()));
    EXPECT_EQ(Bytes(written.begin() + 6, written.begin() + 20),
              ToBytes(std::string("Exif\0\0MM\0*\0\0\0\x08", 14)));
    // The old EXIF segment is gone: the scan follows the new one directly.
    const std::size_t segmentEnd = 4 + (std::size_t{written[4]} << 8 | written[5]);
    EXPECT_EQ(written[segmentEnd], 0xFF);
    EXPECT_EQ(written[segmentEnd + 1], 0xDA);

    clsEXIF again(files, "/opt/zembra");
    again.ImageFile("/dst.jpg");
    EXPECT_FALSE(again.IntelByteAlignment());
    std::string text;
    again.MetaInfo(315, text);
    EXPECT_EQ(text, "Ann Lee");
    EXPECT_EQ(again.MetaInfo(274, text), 6 << 16);
    EXPECT_EQ(text, "6");
    again.MetaInfo(282, text);
    EXPECT_EQ(text, "300.0");
    again.MetaInfo(271, text);
    EXPECT_EQ(text, "Canon");
    // One artist; entries in ascending tag order; the stale Exif pointer is dropped.
    std::vector<std::int32_t> ids;
    for (const TagInfo& record : again.Records())
        ids.push_back(record.Id);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{271, 274, 282, 315, 36867}));

    ExifReader reader(files);
    reader.Load("/dst.jpg");
    EXPECT_EQ(reader.Tag(315).ToString(), "Ann Lee");
    EXPECT_EQ(reader.Tag(36867).ToString(), "2008:05:17 10:11:12");
}

TEST(SetNewAuthor, WritesACopyBesideTheOriginal) {
    MemoryFiles files;
    const Bytes original = SourcePicture();
    files.files["/p/a.jpg"] = original;
    clsEXIF exif(files, "/opt/zembra");
    exif.SetNewAuthor("/p/a.jpg", "Ann");
    EXPECT_EQ(files.files["/p/a.jpg"], original);
    ExifReader reader(files);
    reader.Load("/p/anew.jpg");
    // Four bytes (with the NUL) fit in the entry, and ExifReader gives inline texts all four.
    EXPECT_EQ(reader.Tag(315).ToString(), std::string("Ann\0", 4));

    files.files["/p/b.JPG"] = original;
    testing::ExpectExifError([&] { exif.SetNewAuthor("/p/b.JPG", "Ann"); }, 52);
    EXPECT_EQ(files.files.size(), 3u);
}

} // namespace
} // namespace zembra
