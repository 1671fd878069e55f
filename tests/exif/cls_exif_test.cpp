#include "exif/cls_exif.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "exif/exif_reader.h"
#include "exif_test_support.h"

namespace zembra {
namespace {

using namespace exif;
using namespace testing;

TEST(ClsExif, DisplayTextsFollowTheFormatTable) {
    const struct {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        Bytes value;      // big-endian; numbers of `unit` bytes are reversed for the Intel run
        std::size_t unit; // 1 for bytes and texts
        std::string shown;
    } cases[] = {
        {271, kAscii, 6, ToBytes(std::string("Canon") + '\0'), 1, "Canon"},
        {274, kShort, 2, {0, 6, 0, 9}, 2, "6"}, // first value only
        {700, kSShort, 1, {0xFF, 0xFE}, 2, "-2"},
        {700, kDouble, 1, {0x3F, 0xD0, 0, 0, 0, 0, 0, 0}, 8, "0.25"},
        {37500, kUndefined, 6, {'A', 'b', 1, 'c', 0xFF, 127}, 1, "Abc\x7f"}, // printable only
        {36864, kUndefined, 4, ToBytes("0220"), 1, "2.20"},
        {33434, kRational, 1, {0, 0, 0, 0, 0, 0, 0, 0}, 4, "0/0"},
        {37381, kRational, 1, {0, 0, 0, 3, 0, 0, 0, 1}, 4, "2.8"},
        {37380, kSRational, 1, {0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 0, 3}, 4, "-0.7"},
        {37379, kSRational, 1, {0xFF, 0xFF, 0xFF, 0xFB, 0, 0, 0, 10}, 4, "-5/10"},
        {700,
         kSRational,
         2,
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 4},
         4,
         "-0.500/0.250"},
    };
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.shown + (order == ByteOrder::Little ? " II" : " MM"));
            Bytes value = c.value;
            for (std::size_t i = 0; order == ByteOrder::Little && i < value.size(); i += c.unit)
                std::reverse(value.begin() + i, value.begin() + i + c.unit);
            TiffBuilder t(order);
            t.Directory({{c.tag, c.type, c.count, value}});
            MemoryExif r;
            ASSERT_EQ(r.exif.ReadEXIFBytes(ExifJpeg(t)), 0);
            ASSERT_EQ(r.exif.Records().size(), 1u);
            EXPECT_EQ(r.exif.Records()[0].StringData, c.shown);
            EXPECT_EQ(r.exif.Records()[0].RawBytes.size(), c.count * TypeSize(c.type));
        }
    }
}

TEST(ClsExif, StatusAndErrors) {
    MemoryExif r;
    std::string text;
    r.files.files["/empty.jpg"] = {};
    r.files.files["/plain.jpg"] = Jpeg({});
    ExpectExifError([&] { r.exif.ImageFile("/empty.jpg"); }, 2, "ReadEXIF", "File not found.");
    ExpectExifError([&] { r.exif.ReadEXIF("/missing.jpg"); }, 2, "ReadEXIF", "File not found.");

    r.exif.ImageFile("/plain.jpg");
    EXPECT_EQ(r.exif.Status(), clsEXIF::kStatusNotExif);
    EXPECT_EQ(r.exif.ListInfo(), "File is not in EXIF format.");
    ExpectExifError([&] { r.exif.MetaInfo(271, text); }, 10, "MetaInfo",
                    "File is not in EXIF format.");

    // "Exif\0" beyond the first 4096 bytes is not looked for.
    EXPECT_EQ(
        r.exif.ReadEXIFBytes(Concat({Bytes(5000, 0), ExifJpeg(TiffBuilder(ByteOrder::Little))})),
        1);

    // A damaged block keeps the records read before the damage.
    TiffBuilder t(ByteOrder::Big);
    t.Directory(
        {{271, kShort, 1, t.Field16(1)}, {272, kAscii, 100, t.Field32(4000)}}); // value beyond 4096
    ExpectExifError([&] { r.exif.ReadEXIFBytes(ExifJpeg(t)); }, 11, "ReadEXIF",
                    "Error parsing the file.");
    EXPECT_EQ(r.exif.Status(), clsEXIF::kStatusParseFailed);
    ASSERT_EQ(r.exif.Records().size(), 1u);
    EXPECT_EQ(r.exif.Records()[0].Name, "Make");
    ExpectExifError([&] { r.exif.MetaInfo(271, text); }, 11, "MetaInfo", "Error parsing the file.");

    // A field type above 12 is damage too.
    TiffBuilder bad(ByteOrder::Little);
    bad.Directory({{271, 13, 1, {}}});
    EXPECT_THROW(r.exif.ReadEXIFBytes(ExifJpeg(bad)), ExifError);
}

// A little-endian source block: Make, Orientation, XResolution and an Exif pointer.
Bytes SourcePicture() {
    TiffBuilder t(ByteOrder::Little);
    const std::uint32_t ifd0 = t.Directory({
        {271, kAscii, 6, ToBytes(std::string("Canon") + '\0')},
        {274, kShort, 1, t.Field16(6)},
        {282, kRational, 1, t.Numbers({300, 1})},
        {kExifOffset, kLong, 1, t.Field32(0)},
    });
    t.Patch32(
        ifd0 + 2 + 36 + 8,
        t.Directory({{36867, kAscii, 20, ToBytes("2008:05:17 10:11:12" + std::string(1, 0))}}));
    return ExifJpeg(t);
}

TEST(WriteExif, WritesTheRecordsAsABigEndianBlockInPlaceOfTheOldOne) {
    MemoryExif m;
    m.files.files["/src.jpg"] = m.files.files["/dst.jpg"] = SourcePicture();
    m.exif.ImageFile("/src.jpg");
    m.exif.SetArtist("A");
    m.exif.SetArtist("Ann Lee"); // replaces the first
    m.exif.WriteEXIF("/dst.jpg");

    const Bytes& written = m.files.files["/dst.jpg"];
    // SOI, then our APP1 with a big-endian TIFF header and IFD0 at 8.
    ASSERT_GT(written.size(), 20u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), (Bytes{0xFF, 0xD8, 0xFF, 0xE1}));
    EXPECT_EQ(Bytes(written.begin() + 6, written.begin() + 20),
              ToBytes(std::string("Exif\0\0MM\0*\0\0\0\x08", 14)));
    // The old EXIF segment is gone: the scan follows the new one directly.
    const auto segmentEnd = written.begin() + 4 + (written[4] << 8 | written[5]);
    EXPECT_EQ(Bytes(segmentEnd, segmentEnd + 2), (Bytes{0xFF, 0xDA}));

    clsEXIF again(m.files, "/opt/zembra");
    again.ImageFile("/dst.jpg");
    std::string text;
    EXPECT_EQ(again.MetaInfo(274, text), 6 << 16); // a big-endian SHORT, read as a whole field
    // One artist; entries in ascending tag order; the stale Exif pointer is dropped.
    std::vector<std::int32_t> ids;
    for (const TagInfo& record : again.Records())
        ids.push_back(record.Id);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{271, 274, 282, 315, 36867}));

    ExifReader reader(m.files);
    reader.Load("/dst.jpg");
    EXPECT_EQ(reader.Tag(36867).ToString(), "2008:05:17 10:11:12");
    EXPECT_EQ(reader.Tag(315).ToString(), "Ann Lee");
    EXPECT_EQ(reader.Tag(282).ToString(), "300/1");
}

// SetNewAuthor writes a copy beside the original and never touches the original.
TEST(WriteExif, SetNewAuthorWritesACopyBesideTheOriginal) {
    MemoryExif m;
    const Bytes original = SourcePicture();
    m.files.files["/p/a.jpg"] = m.files.files["/p/b.JPG"] = original;
    m.exif.SetNewAuthor("/p/a.jpg", "Ann");
    EXPECT_EQ(m.files.files["/p/a.jpg"], original);
    ExifReader reader(m.files);
    reader.Load("/p/anew.jpg");
    // Four bytes (with the NUL) fit in the entry, and ExifReader gives inline texts all four.
    EXPECT_EQ(reader.Tag(315).ToString(), std::string("Ann\0", 4));
    ExpectExifError([&] { m.exif.SetNewAuthor("/p/b.JPG", "Ann"); }, 52);
    EXPECT_EQ(m.files.files.size(), 3u);
}

} // namespace
} // namespace zembra
