#include "exif/cls_exif.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "exif_test_support.h"
#include "support/temp_dir.h"

namespace zembra {
namespace {

using namespace exif;
using testing::ExifJpeg;
using testing::ExpectExifError;
using testing::MemoryFiles;
using testing::TiffBuilder;
using testing::ToBytes;

// A clsEXIF whose exif.ini folder holds nothing.
struct Reader {
    MemoryFiles files;
    clsEXIF exif{files, "/opt/zembra"};
};

struct FormatCase {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes value;      // big-endian; numbers of `unit` bytes are reversed for the Intel run
    std::size_t unit; // 1 for bytes and texts
    std::string shown;
};

Bytes InOrder(Bytes value, std::size_t unit, ByteOrder order) {
    for (std::size_t i = 0; order == ByteOrder::Intel && i + unit <= value.size(); i += unit)
        std::reverse(value.begin() + static_cast<std::ptrdiff_t>(i),
                     value.begin() + static_cast<std::ptrdiff_t>(i + unit));
    return value;
}

TEST(ClsExif, DisplayTextsFollowTheFormatTable) {
    const FormatCase cases[] = {
        {271, kAscii, 6, ToBytes(std::string("Canon") + '\0'), 1, "Canon"},
        {272, kAscii, 3, ToBytes(std::string("ab") + '\0'), 1, "ab"}, // inline
        {274, kShort, 2, {0, 6, 0, 9}, 2, "6"},                       // first value only
        {700, kLong, 1, {0x80, 0, 0, 1}, 4, "2147483649"},
        {700, kSShort, 1, {0xFF, 0xFE}, 2, "-2"},
        {700, kSLong, 1, {0xFF, 0xFF, 0xFF, 0xFF}, 4, "-1"},
        {700, kFloat, 1, {0x3F, 0xC0, 0, 0}, 4, "1.5"},
        {700, kDouble, 1, {0x3F, 0xD0, 0, 0, 0, 0, 0, 0}, 8, "0.25"},
        {37500, kUndefined, 6, {'A', 'b', 1, 'c', 0xFF, 127}, 1, "Abc\x7f"}, // printable only
        {36864, kUndefined, 4, ToBytes("0220"), 1, "2.20"},
        {37121, kUndefined, 4, {1, 2, 3, 0}, 1, "YCbCr"},
        {41728, kUndefined, 1, {3}, 1, "3"},
        {37510, kUndefined, 8, ToBytes(std::string("AB\0\0\0\0hi", 8)), 1, "ABhi"},
        {33434, kRational, 1, {0, 0, 0, 1, 0, 0, 0, 200}, 4, "200"},
        {33434, kRational, 1, {0, 0, 0, 0, 0, 0, 0, 0}, 4, "0/0"},
        {37381, kRational, 1, {0, 0, 0, 3, 0, 0, 0, 1}, 4, "2.8"},
        {33437, kRational, 1, {0, 0, 0, 28, 0, 0, 0, 10}, 4, "2.8"},
        {318,
         kRational,
         2,
         {0, 0, 1, 0x39, 0, 0, 3, 0xE8, 0, 0, 1, 0x49, 0, 0, 3, 0xE8},
         4,
         "0.313/0.329"},
        {37377, kSRational, 1, {0, 0, 0, 8, 0, 0, 0, 1}, 4, "256"},
        {37380, kSRational, 1, {0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 0, 3}, 4, "-0.7"},
        {37379, kSRational, 1, {0xFF, 0xFF, 0xFF, 0xFB, 0, 0, 0, 10}, 4, "-5/10"},
        {700,
         kSRational,
         2,
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 4},
         4,
         "-0.500/0.250"},
    };
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        for (const FormatCase& c : cases) {
            SCOPED_TRACE(c.shown + (order == ByteOrder::Intel ? " II" : " MM"));
            TiffBuilder t(order);
            t.Directory({{c.tag, c.type, c.count, InOrder(c.value, c.unit, order)}});
            Reader r;
            ASSERT_EQ(r.exif.ReadEXIFBytes(ExifJpeg(t)), 0);
            ASSERT_EQ(r.exif.Records().size(), 1u);
            EXPECT_EQ(r.exif.Records()[0].StringData, c.shown);
            EXPECT_EQ(r.exif.Records()[0].RawBytes.size(), c.count * TypeSize(c.type));
        }
    }
}

TEST(ClsExif, ValueIsTheRawFieldOrTheRationalsQuotient) {
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        Reader r;
        TiffBuilder t(order);
        t.Directory({
            {274, kShort, 1, t.Field16(6)},
            {33437, kRational, 1, t.Numbers({28, 10})},
            {40962, kLong, 1, t.Field32(3000)},
        });
        ASSERT_EQ(r.exif.ReadEXIFBytes(ExifJpeg(t)), 0);
        std::string text;
        // The 4-byte field read whole: a big-endian SHORT sits in its high half.
        EXPECT_EQ(r.exif.MetaInfo(274, text), order == ByteOrder::Intel ? 6 : 6 << 16);
        EXPECT_EQ(text, "6");
        EXPECT_EQ(r.exif.MetaInfo(33437, text), 3); // 2.8 rounded
        EXPECT_DOUBLE_EQ(r.exif.Records()[1].Value, 2.8);
        EXPECT_NE(r.exif.Records()[1].RawValue, 2.8); // the offset as first read
        EXPECT_EQ(r.exif.MetaInfo(40962, text), 3000);
        EXPECT_EQ(r.exif.MetaInfo(999, text), 0);
        EXPECT_EQ(text, "Tag 999 not found.");
        EXPECT_EQ(r.exif.IntelByteAlignment(), order == ByteOrder::Intel);
    }
}

TEST(ClsExif, ReadsIfd0AndTheExifDirectoryOnly) {
    TiffBuilder t(ByteOrder::Intel);
    const std::uint32_t ifd0 =
        t.Directory({{271, kShort, 1, t.Field16(1)}, {kExifOffset, kLong, 1, t.Field32(0)}});
    const std::uint32_t ifd1 = t.Directory({{259, kShort, 1, t.Field16(6)}});
    const std::uint32_t exifDir =
        t.Directory({{36864, kUndefined, 4, ToBytes("0230")},
                     {kInteroperabilityOffset, kLong, 1, t.Field32(ifd1)}});
    t.Patch32(ifd0 + 2 + 24, ifd1);
    t.Patch32(ifd0 + 2 + 12 + 8, exifDir);
    Reader r;
    ASSERT_EQ(r.exif.ReadEXIFBytes(ExifJpeg(t)), 0);
    EXPECT_EQ(r.exif.ListInfo(), "Make: 1\r\nExifOffset: " + std::to_string(exifDir) +
                                     "\r\nExifVersion: 2.30\r\nExifInteroperabilityOffset: " +
                                     std::to_string(ifd1) + "\r\n");
    // Names outside the table, and the table's odd name for the date taken.
    EXPECT_EQ(r.exif.GetTagName(315), "Tag #315");
    EXPECT_EQ(r.exif.GetTagName(36867), "DateTimeOriginal2");
}

TEST(ClsExif, StatusAndErrors) {
    Reader r;
    r.files.files["/empty.jpg"] = {};
    r.files.files["/plain.jpg"] = testing::Jpeg({});
    ExpectExifError([&] { r.exif.ImageFile("/empty.jpg"); }, 2, "ReadEXIF", "File not found.");
    ExpectExifError([&] { r.exif.ReadEXIF("/missing.jpg"); }, 2, "ReadEXIF", "File not found.");

    r.exif.ImageFile("/plain.jpg");
    EXPECT_EQ(r.exif.ImageFile(), "/plain.jpg");
    EXPECT_EQ(r.exif.Status(), clsEXIF::kStatusNotExif);
    EXPECT_EQ(r.exif.ListInfo(), "File is not in EXIF format.");
    std::string text;
    ExpectExifError([&] { r.exif.MetaInfo(271, text); }, 10, "MetaInfo",
                    "File is not in EXIF format.");

    // "Exif\0" beyond the first 4096 bytes is not looked for.
    EXPECT_EQ(r.exif.ReadEXIFBytes(
                  testing::Concat({Bytes(5000, 0), ExifJpeg(TiffBuilder(ByteOrder::Intel))})),
              1);
}

TEST(ClsExif, DamagedBlocksKeepTheRecordsReadBefore) {
    TiffBuilder t(ByteOrder::Motorola);
    t.Directory(
        {{271, kShort, 1, t.Field16(1)}, {272, kAscii, 100, t.Field32(4000)}}); // value beyond 4096
    Reader r;
    ExpectExifError([&] { r.exif.ReadEXIFBytes(ExifJpeg(t)); }, 11, "ReadEXIF",
                    "Error parsing the file.");
    EXPECT_EQ(r.exif.Status(), clsEXIF::kStatusParseFailed);
    ASSERT_EQ(r.exif.Records().size(), 1u);
    EXPECT_EQ(r.exif.Records()[0].Name, "Make");
    EXPECT_EQ(r.exif.ListInfo(), "Could not open the file.");
    std::string text;
    ExpectExifError([&] { r.exif.MetaInfo(271, text); }, 11, "MetaInfo", "Error parsing the file.");

    // A field type above 12 is damage too.
    TiffBuilder bad(ByteOrder::Intel);
    bad.Directory({{271, 13, 1, {}}});
    EXPECT_THROW(r.exif.ReadEXIFBytes(ExifJpeg(bad)), ExifError);
}

TEST(ClsExif, BytesToNumberInBothOrders) {
    const Bytes b = {0x12, 0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_EQ(clsEXIF::BytesToNumber(b, 1, 4, true), 0xFEFFFFFFu);
    EXPECT_EQ(clsEXIF::BytesToNumber(b, 1, 4, false), 0xFFFFFFFEu);
    EXPECT_EQ(clsEXIF::BytesToSignedNumber(b, 1, 4, false), -2);
    EXPECT_EQ(clsEXIF::BytesToSignedNumber(b, 0, 1, true), 0x12);
    EXPECT_EQ(clsEXIF::BytesToNumber(b, 0, 2, true), 0xFF12u);
    EXPECT_FALSE(clsEXIF::BytesToNumber(b, 2, 4, true));
    EXPECT_FALSE(clsEXIF::BytesToNumber(b, std::size_t(-1), 2, true));
}

TEST(ClsExif, ExifIniRenamesAndFormatsValues) {
    testing::TempDir dir;
    dir.Write("exif.ini", "[make]\r\nCanon = Canon Inc.\r\nFormat=<@X|@X>\r\n[Model]\nFormat=\n");
    clsEXIF exif(Files::Local(), dir.Path());
    EXPECT_EQ(exif.IniPath(), dir.Path() + "/exif.ini");
    TiffBuilder t(ByteOrder::Intel);
    t.Directory(
        {{271, kAscii, 6, ToBytes(std::string("Canon") + '\0')}, {272, kAscii, 4, ToBytes("X1")}});
    ASSERT_EQ(exif.ReadEXIFBytes(ExifJpeg(t)), 0);
    std::string text;
    exif.MetaInfo(271, text);
    EXPECT_EQ(text, "<Canon Inc.|Canon Inc.>");
    exif.MetaInfo(272, text);
    EXPECT_EQ(text, "X1");
    EXPECT_EQ(exif.ReadIniValue(exif.IniPath(), "Model", "Format", "dflt"), "dflt");
    EXPECT_EQ(exif.ReadIniValue(dir / "none.ini", "Make", "Canon", "dflt"), "dflt");
}

} // namespace
} // namespace zembra
