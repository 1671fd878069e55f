#include "exif/exif_reader.h"

#include <gtest/gtest.h>

#include "exif/tag_table.h"
#include "exif_test_support.h"

namespace zembra {
namespace {

using namespace exif;
using testing::ExifJpeg;
using testing::ExpectExifError;
using testing::Jpeg;
using testing::MemoryFiles;
using testing::Segment;
using testing::TiffBuilder;
using testing::ToBytes;

constexpr std::uint16_t kDateTime = 306;
const std::string kDate = "2008:05:17 10:11:12";
const std::string kLastChanged = "2011:11:11 11:11:11";

// IFD0 (Make, DateTime, Exif pointer) -> IFD1 (one entry); Exif directory with the date.
TiffBuilder CameraBlock(ByteOrder order, const std::string& date = kDate) {
    TiffBuilder t(order);
    const std::uint32_t ifd0 = t.Directory({
        {271, kAscii, 6, ToBytes(std::string("Canon") + '\0')},
        {kDateTime, kAscii, 20, ToBytes(kLastChanged + '\0')},
        {kExifOffset, kLong, 1, t.Field32(0)},
    });
    t.Patch32(ifd0 + 2 + 36, t.Directory({{259, kShort, 1, t.Field16(6)}}));
    const auto count = static_cast<std::uint32_t>(date.size() + 1);
    t.Patch32(ifd0 + 2 + 24 + 8,
              t.Directory({{kDateTimeOriginal, kAscii, count, ToBytes(date + '\0')}}));
    return t;
}

ExifReader LoadedFrom(const Bytes& file) {
    ExifReader reader;
    reader.LoadBytes(file);
    return reader;
}

TEST(ExifReader, ReadsTheDateTakenAndCountsEveryDirectory) {
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        ExifReader reader = LoadedFrom(ExifJpeg(CameraBlock(order)));
        EXPECT_TRUE(reader.Loaded());
        EXPECT_EQ(reader.IsIntel(), order == ByteOrder::Intel);
        const std::string date = reader.Tag(kDateTimeOriginal);
        EXPECT_EQ(date, kDate);
        EXPECT_EQ(reader.Tag(271).ToString(), "Canon");
        EXPECT_EQ(reader.Tag(kDateTime).ToString(), kLastChanged); // not the date taken
        EXPECT_EQ(reader.Tag(259).AsNumber(), 6);                  // IFD1 is walked
        // IFD0 (3), IFD1 (1), Exif (1).
        EXPECT_EQ(reader.Tag().AsNumber(), 5);
        EXPECT_EQ(reader.Tag(0).AsNumber(), 5);
    }
}

TEST(ExifReader, LooksOnlyAtTheFirstApp1) {
    const Bytes app0 = Segment(0xE0, ToBytes(std::string("JFIF") + '\0' + "\x01\x01"));
    const Bytes xmp = Segment(0xE1, ToBytes("http://ns.adobe.com/xap/1.0/"));
    const Bytes app1 = Segment(0xE1, testing::ExifPayload(CameraBlock(ByteOrder::Intel).Tiff()));
    ExifReader reader = LoadedFrom(Jpeg({app0, app1}));
    EXPECT_EQ(reader.App1Position(), 2 + app0.size());
    EXPECT_EQ(reader.Tag(kDateTimeOriginal).ToString(), kDate);
    // A first FF E1 pair that is not EXIF means no EXIF.
    ExifReader behindXmp = LoadedFrom(Jpeg({xmp, app1}));
    EXPECT_FALSE(behindXmp.Loaded());
    EXPECT_TRUE(behindXmp.Tag(kDateTimeOriginal).IsEmpty());
}

TEST(ExifReader, OtherFormatsAndMissingFilesGiveEmpty) {
    MemoryFiles files;
    files.files["/p/a.png"] = ToBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
    files.files["/p/a.bmp"] = ToBytes("BM\x36\0\0\0\0\0\0\0\x36\0\0\0");
    files.files["/p/empty.jpg"] = {};
    for (const char* path : {"/p/a.png", "/p/a.bmp", "/p/empty.jpg", "/p/missing.jpg"}) {
        ExifReader reader(files);
        reader.picFile(path);
        EXPECT_TRUE(reader.Tag(kDateTimeOriginal).IsEmpty()) << path;
        EXPECT_EQ(reader.Tag().AsNumber(), 0) << path;
    }
    // Load raises for a missing file; Tag does not.
    ExifReader reader(files);
    ExpectExifError([&] { reader.Load("/nowhere.jpg"); }, 53);
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
    EXPECT_EQ(reader.Tag(kDateTimeOriginal).ToString(), "2001:01:01 01:01:01");
    reader.Load("/b.jpg"); // ignored: a path is already stored
    EXPECT_EQ(reader.picFile(), "/a.jpg");
    EXPECT_EQ(reader.Tag(kDateTimeOriginal).ToString(), "2001:01:01 01:01:01");

    ExifReader empty(files);
    empty.Load();
    EXPECT_TRUE(empty.Tag(kDateTimeOriginal).IsEmpty());
    EXPECT_TRUE(empty.Tag().IsEmpty());
}

TEST(ExifReader, OddDateCountsGoThroughAsTheyAre) {
    // Count 19 (no NUL) loses the last character; count 21 keeps a NUL.
    const std::string nul(1, '\0');
    const std::pair<std::string, std::string> cases[] = {
        {"2005:08:13 09:47:23", "2005:08:13 09:47:2"},
        {"2003:03:22 16:16:16" + nul + nul, "2003:03:22 16:16:16" + nul},
        {"    :  :     :  :  " + nul, "    :  :     :  :  "},
    };
    for (const auto& [stored, expected] : cases) {
        TiffBuilder t(ByteOrder::Intel);
        const std::uint32_t ifd0 = t.Directory({{kExifOffset, kLong, 1, t.Field32(0)}});
        const auto count = static_cast<std::uint32_t>(stored.size());
        t.Patch32(ifd0 + 2 + 8, t.Directory({{kDateTimeOriginal, kAscii, count, ToBytes(stored)}}));
        EXPECT_EQ(LoadedFrom(ExifJpeg(t)).Tag(kDateTimeOriginal).ToString(), expected);
    }
}

// One IFD0 entry decoded, in both byte orders.
struct DecodeCase {
    std::uint16_t type;
    std::uint32_t count;
    Bytes value;       // up to four bytes: the field as stored; longer: data at an offset
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
    const std::string nul(1, '\0');
    const DecodeCase cases[] = {
        // Short texts: the four bytes as a number, most significant byte first.
        {kAscii, 3, {'a', 'b', 'c', 0}, nul + "cba", "abc" + nul},
        {kUndefined, 4, {'0', '2', '2', '0'}, "0220", "0220"},
        {kByte, 4, {1, 2, 0xAB, 4}, "04AB0201", "0102AB04"},
        {kSByte, 1, {0xFF, 0, 0, 0}, "000000FF", "FF000000"},
        {kShort, 1, {0x01, 0x02, 9, 9}, "#513", "#258"},
        {kSShort, 1, {0xFE, 0xFF, 0, 0}, "#-2", "#-257"},
        {kLong, 1, {0xFF, 0xFF, 0xFF, 0xFF}, "#4294967295", "#4294967295"},
        {kShort, 2, {1, 0, 2, 0}, "1 2", "256 512"},
        {kFloat, 1, {0, 0, 0x80, 0x3F}, "", ""},
        {99, 1, {1, 2, 3, 4}, "", ""}, // unknown type
        // Values at an offset.
        {kAscii, 6, ToBytes("Nikon" + nul), "Nikon", "Nikon"},
        {kRational, 1, {0, 0, 0, 72, 0, 0, 0, 1}, "1207959552/16777216", "72/1"},
        {kSRational,
         2,
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0},
         "-1/50331648",
         "-1/3"},
        {kShort, 3, {0, 1, 0, 2, 0, 3}, "256 512 768", "1 2 3"},
        {kDouble, 1, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, "", ""},
    };
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        for (const DecodeCase& c : cases) {
            const bool intel = order == ByteOrder::Intel;
            SCOPED_TRACE(std::to_string(c.type) + (intel ? " II " : " MM ") + c.motorola);
            TiffBuilder t(order);
            t.Directory({{700, c.type, c.count, c.value}});
            ExifReader reader = LoadedFrom(ExifJpeg(t));
            EXPECT_EQ(reader.Tag(700), Expected(intel ? c.intel : c.motorola))
                << reader.Tag(700).ToString();
            const TagEntry& entry = reader.Entries().at(0);
            EXPECT_EQ(entry.DataType, c.type);
            EXPECT_EQ(entry.Components, static_cast<std::int32_t>(c.count));
            // The offset is kept only for values that live outside the entry.
            EXPECT_EQ(entry.ValueOffset != 0, c.value.size() > 4);
        }
    }
}

TEST(ExifReader, DirectoryLoopsEnd) {
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        // IFD0 -> IFD1 -> IFD0 again, and an Exif pointer at IFD0 itself.
        TiffBuilder t(order);
        const std::uint32_t ifd0 = t.Directory({{kExifOffset, kLong, 1, t.Field32(8)}});
        t.Patch32(ifd0 + 2 + 12, t.Directory({{259, kShort, 1, t.Field16(6)}}, ifd0));
        EXPECT_EQ(LoadedFrom(ExifJpeg(t)).Tag().AsNumber(), 2);

        TiffBuilder self(order);
        self.Directory({{271, kShort, 1, self.Field16(1)}}, 8);
        EXPECT_EQ(LoadedFrom(ExifJpeg(self)).Tag().AsNumber(), 1);
    }
}

TEST(ExifReader, TruncatedDirectoryRaisesAndKeepsWhatWasRead) {
    TiffBuilder t(ByteOrder::Intel);
    t.Directory({{271, kShort, 1, t.Field16(7)}, {272, kShort, 1, t.Field16(8)}});
    Bytes tiff = t.Tiff();
    tiff[8] = 5; // claims five entries
    // No scan data after the block, so the third entry runs off the end.
    const Bytes app1 = Segment(0xE1, testing::ExifPayload(tiff));
    const Bytes file = testing::Concat({{0xFF, 0xD8}, Bytes(app1.begin(), app1.end() - 4)});
    ExifReader reader;
    ExpectExifError([&] { reader.LoadBytes(file); }, 9);
    EXPECT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.Tag(271).AsNumber(), 7);
    EXPECT_EQ(reader.Tag().AsNumber(), 5);
    EXPECT_EQ(reader.Entries().at(4).TagId, 0);
}

TEST(ExifReader, ValuesPointingOutsideTheFileRaise) {
    for (std::uint32_t offset : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        TiffBuilder t(ByteOrder::Motorola);
        t.Directory({{271, kAscii, 40, t.Field32(offset)}});
        ExifReader reader;
        EXPECT_THROW(reader.LoadBytes(ExifJpeg(t)), ExifError) << offset;
    }
    TiffBuilder t(ByteOrder::Intel);
    t.Patch32(4, 0xFFFFFFFF); // IFD0 far away
    EXPECT_THROW(LoadedFrom(ExifJpeg(t)), ExifError);
}

TEST(ExifReader, LimitsStopTheWalkQuietly) {
    TiffBuilder t(ByteOrder::Intel);
    t.Directory({{271, kAscii, 1000, Bytes(1000, 'x')}, {272, kAscii, 1000, Bytes(1000, 'x')}});
    ExifWalkLimits limits;
    limits.maxValueBytes = 1500;
    ExifReader reader(Files::Local(), limits);
    reader.LoadBytes(ExifJpeg(t));
    EXPECT_EQ(reader.Tag(271).ToString().size(), 999u);
    EXPECT_TRUE(reader.Tag(272).IsEmpty());
}

TEST(ExifReader, ExifPointerStoredAsTextIsNotFollowed) {
    TiffBuilder t(ByteOrder::Intel);
    t.Directory({{kExifOffset, kAscii, 4, {'2', '6', 0, 0}}});
    t.Directory({{kDateTimeOriginal, kShort, 1, t.Field16(1)}});
    EXPECT_EQ(LoadedFrom(ExifJpeg(t)).Tag().AsNumber(), 1);
}

} // namespace
} // namespace zembra
