#include "exif/exif_reader.h"

#include <gtest/gtest.h>

#include "exif/tag_table.h"
#include "exif_test_support.h"
#include "sample_manifest.h"

namespace zembra {
namespace {

using namespace exif;
using namespace testing;
using testing::Segment;

constexpr std::uint16_t kDateTime = 306;
const std::string kDate = "2008:05:17 10:11:12";
const std::string kLastChanged = "2011:11:11 11:11:11";

// IFD0 (Make, DateTime, Exif pointer) -> IFD1 (one entry); Exif directory with the date.
TiffBuilder CameraBlock(ByteOrder order) {
    TiffBuilder t(order);
    const std::uint32_t ifd0 = t.Directory({
        {271, kAscii, 6, ToBytes(std::string("Canon") + '\0')},
        {kDateTime, kAscii, 20, ToBytes(kLastChanged + '\0')},
        {kExifOffset, kLong, 1, t.Field32(0)},
    });
    t.Patch32(ifd0 + 2 + 36, t.Directory({{259, kShort, 1, t.Field16(6)}}));
    t.Patch32(ifd0 + 2 + 24 + 8,
              t.Directory({{kDateTimeOriginal, kAscii, 20, ToBytes(kDate + '\0')}}));
    return t;
}

ExifReader LoadedFrom(const Bytes& file) {
    ExifReader reader;
    reader.LoadBytes(file);
    return reader;
}

TEST(ExifReader, ReadsTheDateTakenAndCountsEveryDirectory) {
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        ExifReader reader = LoadedFrom(ExifJpeg(CameraBlock(order)));
        EXPECT_TRUE(reader.Loaded());
        EXPECT_EQ(reader.IsIntel(), order == ByteOrder::Little);
        EXPECT_EQ(reader.Tag(kDateTimeOriginal).ToString(), kDate);
        EXPECT_EQ(reader.Tag(271).ToString(), "Canon");
        EXPECT_EQ(reader.Tag(kDateTime).ToString(), kLastChanged); // not the date taken
        EXPECT_EQ(reader.Tag(259).AsNumber(), 6);                  // IFD1 is walked
        // IFD0 (3), IFD1 (1), Exif (1).
        EXPECT_EQ(reader.Tag().AsNumber(), 5);
        EXPECT_EQ(reader.Tag(0).AsNumber(), 5);
    }
}

// Other formats, and a JPEG whose first FF E1 pair is not EXIF, give no EXIF.
TEST(ExifReader, NoExifGivesEmpty) {
    MemoryFiles files;
    files.files["/p/a.png"] = ToBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
    files.files["/p/empty.jpg"] = {};
    files.files["/p/xmp.jpg"] = Jpeg({Segment(0xE1, ToBytes("http://ns.adobe.com/xap/1.0/"))});
    for (const char* path : {"/p/a.png", "/p/empty.jpg", "/p/missing.jpg", "/p/xmp.jpg"}) {
        ExifReader reader(files);
        reader.picFile(path);
        EXPECT_TRUE(reader.Tag(kDateTimeOriginal).IsEmpty()) << path;
        EXPECT_EQ(reader.Tag().AsNumber(), 0) << path;
        EXPECT_FALSE(reader.Loaded()) << path;
    }
    // Load raises for a missing file; Tag does not.
    ExifReader reader(files);
    ExpectExifError([&] { reader.Load("/nowhere.jpg"); }, 53);
    EXPECT_TRUE(reader.Tag(kDateTime).IsEmpty());
}

// Editors that put their XMP APP1 first leave the EXIF block in a later one.
TEST(ExifReader, ExifAfterXmpIsRead) {
    MemoryFiles files;
    files.files["/p/xmp.jpg"] =
        Jpeg({Segment(0xE1, ToBytes("http://ns.adobe.com/xap/1.0/")),
              Segment(0xE1, ExifPayload(CameraBlock(ByteOrder::Little).Tiff()))});
    ExifReader reader(files);
    reader.Load("/p/xmp.jpg");
    EXPECT_TRUE(reader.Loaded());
    EXPECT_FALSE(reader.Tag(kDateTimeOriginal).IsEmpty());
}

// One IFD0 entry decoded, in both byte orders.
TEST(ExifReader, DecodesValuesByTypeInBothOrders) {
    const auto text = [](const std::string& t) { return ExifValue::Text(t); };
    const std::string nul(1, '\0');
    const struct {
        std::uint16_t type;
        std::uint32_t count;
        Bytes value; // up to four bytes: the field as stored; longer: data at an offset
        ExifValue intel, motorola;
    } cases[] = {
        // Short texts: the four bytes as a number, most significant byte first.
        {kAscii, 3, {'a', 'b', 'c', 0}, text(nul + "cba"), text("abc" + nul)},
        {kByte, 4, {1, 2, 0xAB, 4}, text("04AB0201"), text("0102AB04")},
        {kSShort, 1, {0xFE, 0xFF, 0, 0}, ExifValue::Number(-2), ExifValue::Number(-257)},
        {kShort, 2, {1, 0, 2, 0}, text("1 2"), text("256 512")},
        {99, 1, {1, 2, 3, 4}, {}, {}}, // unknown type
        // Values at an offset. Text ends at its NUL or its count, whichever is first.
        {kAscii, 5, {'a', 'b', 'c', 'd', 'e'}, text("abcde"), text("abcde")},
        {kAscii, 6, {'a', 'b', 0, 0, 'x', 0}, text("ab"), text("ab")},
        {kRational, 1, {0, 0, 0, 72, 0, 0, 0, 1}, text("1207959552/16777216"), text("72/1")},
        {kSRational, 1, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 3}, text("-1/50331648"), text("-1/3")},
    };
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        for (const auto& c : cases) {
            const bool intel = order == ByteOrder::Little;
            SCOPED_TRACE(std::to_string(c.type) + (intel ? " II " : " MM ") +
                         c.motorola.ToString());
            TiffBuilder t(order);
            t.Directory({{700, c.type, c.count, c.value}});
            ExifReader reader = LoadedFrom(ExifJpeg(t));
            EXPECT_EQ(reader.Tag(700), intel ? c.intel : c.motorola) << reader.Tag(700).ToString();
            const TagEntry& entry = reader.Entries().at(0);
            EXPECT_EQ(entry.DataType, c.type);
            EXPECT_EQ(entry.Components, static_cast<std::int32_t>(c.count));
            // The offset is kept only for values that live outside the entry.
            EXPECT_EQ(entry.ValueOffset != 0, c.value.size() > 4);
        }
    }
}

// The walk ends at directory loops and at its limits, and does not follow an Exif
// pointer stored as text.
TEST(ExifReader, WalkEndsAtLoopsLimitsAndTextPointers) {
    TiffBuilder text(ByteOrder::Little);
    text.Directory({{kExifOffset, kAscii, 4, {'2', '6', 0, 0}}});
    text.Directory({{kDateTimeOriginal, kShort, 1, text.Field16(1)}});
    EXPECT_EQ(LoadedFrom(ExifJpeg(text)).Tag().AsNumber(), 1);
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        // IFD0 -> IFD1 -> IFD0 again, and an Exif pointer at IFD0 itself.
        TiffBuilder t(order);
        const std::uint32_t ifd0 = t.Directory({{kExifOffset, kLong, 1, t.Field32(8)}});
        t.Patch32(ifd0 + 2 + 12, t.Directory({{259, kShort, 1, t.Field16(6)}}, ifd0));
        EXPECT_EQ(LoadedFrom(ExifJpeg(t)).Tag().AsNumber(), 2);

        TiffBuilder self(order);
        self.Directory({{271, kShort, 1, self.Field16(1)}}, 8);
        EXPECT_EQ(LoadedFrom(ExifJpeg(self)).Tag().AsNumber(), 1);
    }

    // Past the value limit the walk stops quietly.
    TiffBuilder big(ByteOrder::Little);
    big.Directory({{271, kAscii, 1000, Bytes(1000, 'x')}, {272, kAscii, 1000, Bytes(1000, 'x')}});
    ExifWalkLimits limits;
    limits.maxValueBytes = 1500;
    ExifReader reader(Files::Local(), limits);
    reader.LoadBytes(ExifJpeg(big));
    EXPECT_EQ(reader.Tag(271).ToString().size(), 1000u); // no NUL: the count ends it
    EXPECT_TRUE(reader.Tag(272).IsEmpty());
}

TEST(ExifReader, DamagedBlocksRaiseAndKeepWhatWasRead) {
    TiffBuilder t(ByteOrder::Little);
    t.Directory({{271, kShort, 1, t.Field16(7)}, {272, kShort, 1, t.Field16(8)}});
    Bytes tiff = t.Tiff();
    tiff[8] = 5; // claims five entries
    // No scan data after the block, so the third entry runs off the end.
    const Bytes app1 = Segment(0xE1, ExifPayload(tiff));
    const Bytes file = Concat({{0xFF, 0xD8}, Bytes(app1.begin(), app1.end() - 4)});
    ExifReader reader;
    ExpectExifError([&] { reader.LoadBytes(file); }, 9);
    EXPECT_TRUE(reader.Loaded());
    EXPECT_EQ(reader.Tag(271).AsNumber(), 7);
    EXPECT_EQ(reader.Tag().AsNumber(), 5);
    EXPECT_EQ(reader.Entries().size(), 3u); // the empty slots are only counted

    // Values and directories pointing outside the file.
    for (std::uint32_t offset : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        TiffBuilder far(ByteOrder::Big);
        far.Directory({{271, kAscii, 40, far.Field32(offset)}});
        EXPECT_THROW(reader.LoadBytes(ExifJpeg(far)), ExifError) << offset;
    }
    TiffBuilder far(ByteOrder::Little);
    far.Patch32(4, 0xFFFFFFFF); // IFD0 far away
    EXPECT_THROW(LoadedFrom(ExifJpeg(far)), ExifError);
}

// What a walk leaves: raised or not, loaded, byte order, entry count and date.
std::string Outcome(ExifReader& reader, const std::function<void()>& load) {
    std::string raised = "-";
    try {
        load();
    } catch (const ExifError& e) {
        raised = std::to_string(e.Number());
    }
    return raised + " " + std::to_string(reader.Loaded()) + std::to_string(reader.IsIntel()) + " " +
           std::to_string(reader.Tag().AsNumber()) + " " +
           std::string(reader.Tag(kDateTimeOriginal)) + " " +
           std::to_string(reader.Entries().size());
}

// Large files are walked over their first bytes when that is enough, and whole
// otherwise; either way the answer is the one the whole file gives.
TEST(ExifReader, ALargeFileGivesWhatTheWholeFileGives) {
    constexpr std::size_t kLarge = 300 * 1024; // past the start read on its own
    const auto padded = [](Bytes file) {
        file.resize(kLarge, 0x5A);
        return file;
    };
    // The date's text far into the file, past the start (the TIFF block begins
    // 12 bytes in; its one entry's offset field 18 bytes into the block).
    constexpr std::size_t kTiffBase = 12, kTextAt = kLarge - 100;
    TiffBuilder far(ByteOrder::Little);
    far.Directory({{kDateTimeOriginal, kAscii, 20, far.Field32(0)}});
    far.Patch32(18, static_cast<std::uint32_t>(kTextAt - kTiffBase));
    Bytes farFile = padded(ExifJpeg(far));
    const Bytes text = ToBytes(kDate + '\0');
    std::copy(text.begin(), text.end(), farFile.begin() + static_cast<std::ptrdiff_t>(kTextAt));
    // A directory linking to one past the start, whose count is over the limit.
    TiffBuilder link(ByteOrder::Big);
    link.Directory({{271, kShort, 1, link.Field16(7)}},
                   static_cast<std::uint32_t>(kLarge - 1000 - kTiffBase));
    // The EXIF block after 300 KiB of comments.
    std::vector<Bytes> segments(5, Comment(60000));
    segments.push_back(Segment(0xE1, ExifPayload(CameraBlock(ByteOrder::Big).Tiff())));

    MemoryFiles files;
    files.files = {{"/near.jpg", padded(ExifJpeg(CameraBlock(ByteOrder::Little)))},
                   {"/far.jpg", farFile},
                   {"/link.jpg", padded(ExifJpeg(link))},
                   {"/late.jpg", Jpeg(segments)},
                   {"/none.jpg", padded(Jpeg({}))}};
    for (const auto& [path, bytes] : files.files) {
        ExifReader fromPath(files);
        ExifReader whole;
        EXPECT_EQ(Outcome(fromPath, [&] { fromPath.Load(path); }),
                  Outcome(whole, [&] { whole.LoadBytes(bytes); }))
            << path;
    }
    ExifReader far2(files);
    far2.Load("/far.jpg");
    EXPECT_EQ(far2.Tag(kDateTimeOriginal).ToString(), kDate);
    ExifReader late(files);
    late.Load("/late.jpg");
    EXPECT_EQ(late.Tag(kDateTimeOriginal).ToString(), kDate);
}

// The shared real camera pictures: the date taken and the byte order as their
// manifest gives them.
TEST(ExifReader, ReadsTheSamplesAsTheManifestSays) {
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
        const std::string date = reader.Tag(kDateTimeOriginal);
        EXPECT_EQ(date, ExpectedDate(s));
        dated += date.empty() ? 0 : 1;
        EXPECT_EQ(reader.IsIntel() && reader.Loaded(), s["byte_order"] == "II" && reader.Loaded());
    }
    EXPECT_GT(dated, 60);
}

} // namespace
} // namespace zembra
