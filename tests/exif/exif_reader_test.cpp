#include "exif/exif_reader.h"

#include <gtest/gtest.h>

#include "exif/tag_table.h"
#include "exif_test_support.h"

namespace zembra {
namespace {

using testing::ExifJpeg;
using testing::Jpeg;
using testing::MemoryFiles;
using testing::Segment;
using testing::TiffBuilder;
using testing::ToBytes;
using E = TiffBuilder::Entry;

constexpr std::uint16_t kDateTime = 306;
const std::string kDate = "2008:05:17 10:11:12";

// IFD0 (Make, Exif pointer) -> IFD1 (one entry); Exif directory with the date.
TiffBuilder CameraBlock(ByteOrder order, const std::string& date = kDate) {
    TiffBuilder t(order);
    const std::uint32_t ifd0 = t.Directory({
        {271, exif::kAscii, 6, {}},
        {exif::kExifOffset, exif::kLong, 1, t.Field32(0)},
    });
    const std::uint32_t make = t.Data(ToBytes(std::string("Canon") + '\0'));
    t.Patch32(ifd0 + 2 + 8, make);
    const std::uint32_t ifd1 = t.Directory({{259, exif::kShort, 1, t.Field16(6)}});
    t.Link(ifd0, 2, ifd1);
    const std::uint32_t dateAt = t.Data(ToBytes(date + '\0'));
    const std::uint32_t exifDir =
        t.Directory({{exif::kDateTimeOriginal, exif::kAscii,
                      static_cast<std::uint32_t>(date.size() + 1), t.Field32(dateAt)}});
    t.Patch32(ifd0 + 2 + 12 + 8, exifDir);
    return t;
}

ExifReader LoadedFrom(const Bytes& file) {
    ExifReader reader;
    reader.LoadBytes(file);
    return reader;
}

class BothOrders : public ::testing::TestWithParam<ByteOrder> {};
INSTANTIATE_TEST_SUITE_P(ExifReader, BothOrders,
                         ::testing::Values(ByteOrder::Intel, ByteOrder::Motorola),
                         [](const auto& info) {
                             return info.param == ByteOrder::Intel ? "Intel" : "Motorola";
                         });

TEST_P(BothOrders, ReadsTheDateTakenAndCountsEveryDirectory) {
    ExifReader reader = LoadedFrom(ExifJpeg(CameraBlock(GetParam())));
    EXPECT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.IsIntel(), GetParam() == ByteOrder::Intel);
    const std::string date = reader.Tag(exif::kDateTimeOriginal);
    EXPECT_EQ(date, kDate);
    EXPECT_EQ(reader.Tag(271).ToString(), "Canon");
    EXPECT_EQ(reader.Tag(259).AsNumber(), 6); // IFD1 is walked
    // IFD0 (2), IFD1 (1), Exif (1).
    EXPECT_EQ(reader.Tag().AsNumber(), 4);
    EXPECT_EQ(reader.Tag(0).AsNumber(), 4);
}

TEST(ExifReader, FindsTheBlockAfterAnApp0) {
    const Bytes app0 = Segment(0xE0, ToBytes(std::string("JFIF") + '\0' + "\x01\x01"));
    const Bytes app1 = Segment(0xE1, testing::ExifPayload(CameraBlock(ByteOrder::Intel).Tiff()));
    ExifReader reader = LoadedFrom(Jpeg({app0, app1}));
    EXPECT_EQ(reader.App1Position(), 2 + app0.size());
    EXPECT_EQ(reader.Tag(exif::kDateTimeOriginal).ToString(), kDate);
}

TEST(ExifReader, FirstFfE1PairThatIsNotExifMeansNoExif) {
    const Bytes xmp = Segment(0xE1, ToBytes("http://ns.adobe.com/xap/1.0/"));
    const Bytes app1 = Segment(0xE1, testing::ExifPayload(CameraBlock(ByteOrder::Intel).Tiff()));
    ExifReader reader = LoadedFrom(Jpeg({xmp, app1}));
    EXPECT_FALSE(reader.Loaded());
    EXPECT_TRUE(reader.Tag(exif::kDateTimeOriginal).IsEmpty());
}

TEST(ExifReader, OtherFormatsGiveEmptyWithoutError) {
    MemoryFiles files;
    files.files["/p/a.png"] = ToBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
    files.files["/p/a.bmp"] = ToBytes("BM\x36\0\0\0\0\0\0\0\x36\0\0\0");
    files.files["/p/empty.jpg"] = {};
    for (const char* path : {"/p/a.png", "/p/a.bmp", "/p/empty.jpg", "/p/missing.jpg"}) {
        ExifReader reader(files);
        reader.picFile(path);
        EXPECT_TRUE(reader.Tag(exif::kDateTimeOriginal).IsEmpty()) << path;
        EXPECT_EQ(reader.Tag().AsNumber(), 0) << path;
    }
}

TEST(ExifReader, LoadRaisesForAMissingFileButTagDoesNot) {
    MemoryFiles files;
    ExifReader reader(files);
    try {
        reader.Load("/nowhere.jpg");
        FAIL() << "no error";
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    EXPECT_EQ(reader.picFile(), "/nowhere.jpg");
    EXPECT_TRUE(reader.Tag(kDateTime).IsEmpty());
}

TEST(ExifReader, PathIsSetOnceAndTagLoadsOnDemand) {
    MemoryFiles files;
    files.files["/a.jpg"] = ExifJpeg(CameraBlock(ByteOrder::Intel, "2001:01:01 01:01:01"));
    files.files["/b.jpg"] = ExifJpeg(CameraBlock(ByteOrder::Intel, "2002:02:02 02:02:02"));
    ExifReader reader(files);
    reader.picFile("/a.jpg");
    EXPECT_FALSE(reader.Loaded());
    EXPECT_EQ(reader.Tag(exif::kDateTimeOriginal).ToString(), "2001:01:01 01:01:01");
    reader.Load("/b.jpg"); // ignored: a path is already stored
    EXPECT_EQ(reader.picFile(), "/a.jpg");
    EXPECT_EQ(reader.Tag(exif::kDateTimeOriginal).ToString(), "2001:01:01 01:01:01");

    ExifReader empty(files);
    empty.Load();
    EXPECT_TRUE(empty.Tag(exif::kDateTimeOriginal).IsEmpty());
    EXPECT_TRUE(empty.Tag().IsEmpty());
}

TEST(ExifReader, DateTimeWithoutExifDirectory) {
    TiffBuilder t(ByteOrder::Motorola);
    const std::uint32_t ifd0 = t.Directory({{kDateTime, exif::kAscii, 20, {}}});
    t.Patch32(ifd0 + 2 + 8, t.Data(ToBytes(kDate + '\0')));
    ExifReader reader = LoadedFrom(ExifJpeg(t));
    EXPECT_TRUE(reader.Tag(exif::kDateTimeOriginal).IsEmpty());
    EXPECT_EQ(reader.Tag(kDateTime).ToString(), kDate);
}

TEST(ExifReader, OddDateCountsGoThroughAsTheyAre) {
    // Count 19 (no NUL) loses the last character; count 21 keeps a NUL.
    struct Case {
        std::string stored;
        std::string expected;
    } cases[] = {
        {"2005:08:13 09:47:23", "2005:08:13 09:47:2"},
        {std::string("2003:03:22 16:16:16") + '\0' + '\0',
         std::string("2003:03:22 16:16:16") + '\0'},
        {"    :  :     :  :  " + std::string(1, '\0'), "    :  :     :  :  "},
    };
    for (const Case& c : cases) {
        TiffBuilder t(ByteOrder::Intel);
        const std::uint32_t ifd0 = t.Directory({{exif::kExifOffset, exif::kLong, 1, t.Field32(0)}});
        const std::uint32_t dateAt = t.Data(ToBytes(c.stored));
        const std::uint32_t exifDir =
            t.Directory({{exif::kDateTimeOriginal, exif::kAscii,
                          static_cast<std::uint32_t>(c.stored.size()), t.Field32(dateAt)}});
        t.Patch32(ifd0 + 2 + 8, exifDir);
        EXPECT_EQ(LoadedFrom(ExifJpeg(t)).Tag(exif::kDateTimeOriginal).ToString(), c.expected);
    }
}

// One IFD0 entry decoded, in both byte orders.
struct DecodeCase {
    const char* name;
    std::uint16_t type;
    std::uint32_t count;
    Bytes field;       // four bytes exactly as stored (byte-order independent cases only)
    Bytes data;        // value data placed at an offset, when the value does not fit
    std::string intel; // expected text in an II block ("#n" for the number n, "" for Empty)
    std::string motorola;
};

ExifValue Expected(const std::string& text) {
    if (text.empty())
        return {};
    if (text[0] == '#')
        return ExifValue::Number(std::stoll(text.substr(1)));
    return ExifValue::Text(text);
}

TEST(ExifReader, DecodesValuesByTypeInBothOrders) {
    const DecodeCase cases[] = {
        // Short texts: the four bytes as a number, most significant byte first.
        {"ascii inline",
         exif::kAscii,
         3,
         {'a', 'b', 'c', 0},
         {},
         std::string("\0cba", 4),
         std::string("abc\0", 4)},
        {"undefined inline", exif::kUndefined, 4, {'0', '2', '2', '0'}, {}, "0220", "0220"},
        {"bytes as hex", exif::kByte, 4, {1, 2, 0xAB, 4}, {}, "04AB0201", "0102AB04"},
        {"sbyte as hex", exif::kSByte, 1, {0xFF, 0, 0, 0}, {}, "000000FF", "FF000000"},
        {"short", exif::kShort, 1, {0x01, 0x02, 9, 9}, {}, "#513", "#258"},
        {"sshort negative", exif::kSShort, 1, {0xFE, 0xFF, 0, 0}, {}, "#-2", "#-257"},
        {"long top bit",
         exif::kLong,
         1,
         {0xFF, 0xFF, 0xFF, 0xFF},
         {},
         "#4294967295",
         "#4294967295"},
        {"slong negative", exif::kSLong, 1, {0xFF, 0xFF, 0xFF, 0xFF}, {}, "#-1", "#-1"},
        {"two shorts", exif::kShort, 2, {1, 0, 2, 0}, {}, "1 2", "256 512"},
        {"float", exif::kFloat, 1, {0, 0, 0x80, 0x3F}, {}, "", ""},
        {"unknown type", 99, 1, {1, 2, 3, 4}, {}, "", ""},
        // Values at an offset.
        {"ascii", exif::kAscii, 6, {}, ToBytes(std::string("Nikon") + '\0'), "Nikon", "Nikon"},
        {"rational",
         exif::kRational,
         1,
         {},
         {0, 0, 0, 72, 0, 0, 0, 1},
         "1207959552/16777216",
         "72/1"},
        {"srational",
         exif::kSRational,
         2,
         {},
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0},
         "-1/50331648",
         "-1/3"},
        {"shorts", exif::kShort, 3, {}, {0, 1, 0, 2, 0, 3}, "256 512 768", "1 2 3"},
        {"double", exif::kDouble, 1, {}, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, "", ""},
    };
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        for (const DecodeCase& c : cases) {
            TiffBuilder t(order);
            const std::uint32_t ifd0 = t.Directory({{700, c.type, c.count, c.field}});
            if (!c.data.empty())
                t.Patch32(ifd0 + 2 + 8, t.Data(c.data));
            ExifReader reader = LoadedFrom(ExifJpeg(t));
            const bool intel = order == ByteOrder::Intel;
            EXPECT_EQ(reader.Tag(700), Expected(intel ? c.intel : c.motorola))
                << c.name << (intel ? " II" : " MM") << ": " << reader.Tag(700).ToString();
            const TagEntry& entry = reader.Entries().at(0);
            EXPECT_EQ(entry.DataType, c.type);
            EXPECT_EQ(entry.Components, static_cast<std::int32_t>(c.count));
            // The offset is kept only for values that live outside the entry.
            EXPECT_EQ(entry.ValueOffset != 0, !c.data.empty()) << c.name;
        }
    }
}

TEST(ExifReader, DirectoryLoopsEnd) {
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        // IFD0 -> IFD1 -> IFD0 again, and an Exif pointer at IFD0 itself.
        TiffBuilder t(order);
        const std::uint32_t ifd0 = t.Directory({{exif::kExifOffset, exif::kLong, 1, t.Field32(8)}});
        const std::uint32_t ifd1 = t.Directory({{259, exif::kShort, 1, t.Field16(6)}}, ifd0);
        t.Link(ifd0, 1, ifd1);
        ExifReader reader = LoadedFrom(ExifJpeg(t));
        EXPECT_EQ(reader.Tag().AsNumber(), 2);

        TiffBuilder self(order);
        self.Directory({{271, exif::kShort, 1, self.Field16(1)}}, 8);
        EXPECT_EQ(LoadedFrom(ExifJpeg(self)).Tag().AsNumber(), 1);
    }
}

TEST(ExifReader, TruncatedDirectoryRaisesAndKeepsWhatWasRead) {
    TiffBuilder t(ByteOrder::Intel);
    t.Directory({{271, exif::kShort, 1, t.Field16(7)}, {272, exif::kShort, 1, t.Field16(8)}});
    Bytes tiff = t.Tiff();
    tiff[8] = 5; // claims five entries
    // No scan data after the block, so the third entry runs off the end.
    Bytes file = {0xFF, 0xD8};
    const Bytes app1 = Segment(0xE1, testing::ExifPayload(tiff));
    file.insert(file.end(), app1.begin(), app1.end() - 4);

    ExifReader reader;
    try {
        reader.LoadBytes(file);
        FAIL() << "no error";
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), 9);
    }
    EXPECT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.Tag(271).AsNumber(), 7);
    EXPECT_EQ(reader.Tag().AsNumber(), 5);
    EXPECT_EQ(reader.Entries().at(4).TagId, 0);
}

TEST(ExifReader, ValuesPointingOutsideTheFileRaise) {
    for (std::uint32_t offset : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        TiffBuilder t(ByteOrder::Motorola);
        t.Directory({{271, exif::kAscii, 40, t.Field32(offset)}});
        ExifReader reader;
        EXPECT_THROW(reader.LoadBytes(ExifJpeg(t)), ExifError) << offset;
    }
    TiffBuilder t(ByteOrder::Intel);
    t.Patch32(4, 0xFFFFFFFF); // IFD0 far away
    EXPECT_THROW(LoadedFrom(ExifJpeg(t)), ExifError);
}

TEST(ExifReader, LimitsStopTheWalkQuietly) {
    TiffBuilder t(ByteOrder::Intel);
    const std::uint32_t ifd0 = t.Directory(
        {{271, exif::kAscii, 1000, t.Field32(0)}, {272, exif::kAscii, 1000, t.Field32(0)}});
    const std::uint32_t text = t.Data(Bytes(1000, 'x'));
    t.Patch32(ifd0 + 2 + 8, text);
    t.Patch32(ifd0 + 2 + 12 + 8, text);
    ExifWalkLimits limits;
    limits.maxValueBytes = 1500;
    ExifReader reader(Files::Local(), limits);
    reader.LoadBytes(ExifJpeg(t));
    EXPECT_EQ(reader.Tag(271).ToString().size(), 999u);
    EXPECT_TRUE(reader.Tag(272).IsEmpty());
}

TEST(ExifReader, ExifPointerStoredAsTextIsNotFollowed) {
    TiffBuilder t(ByteOrder::Intel);
    t.Directory({{exif::kExifOffset, exif::kAscii, 4, TiffBuilder::FieldBytes({'2', '6', 0, 0})}});
    t.Directory({{exif::kDateTimeOriginal, exif::kShort, 1, t.Field16(1)}});
    EXPECT_EQ(LoadedFrom(ExifJpeg(t)).Tag().AsNumber(), 1);
}

} // namespace
} // namespace zembra
