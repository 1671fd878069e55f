#include "exif/cls_exif.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "exif_test_support.h"
#include "support/temp_dir.h"

namespace zembra {
namespace {

using testing::ExifJpeg;
using testing::MemoryFiles;
using testing::TiffBuilder;
using testing::ToBytes;

// A clsEXIF whose exif.ini folder holds nothing.
struct Reader {
    MemoryFiles files;
    clsEXIF exif{files, "/opt/zembra"};
};

void ExpectError(const std::function<void()>& call, int number, const std::string& source,
                 const std::string& description) {
    try {
        call();
        ADD_FAILURE() << "no error raised";
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Source(), source);
        EXPECT_EQ(e.Description(), description);
    }
}

// A block whose IFD0 holds one entry (and an Exif pointer when `exifEntry` is given).
Bytes OneEntryBlock(ByteOrder order, TiffBuilder::Entry entry, const Bytes& data = {}) {
    TiffBuilder t(order);
    const std::uint32_t ifd0 = t.Directory({entry});
    if (!data.empty())
        t.Patch32(ifd0 + 2 + 8, t.Data(data));
    return ExifJpeg(t);
}

struct FormatCase {
    const char* name;
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    // Value data in big-endian order; converted for the Intel run by `unit`.
    Bytes value;
    std::size_t unit; // size of the numbers inside `value` (1 for bytes and texts)
    std::string shown;
};

Bytes InOrder(const Bytes& motorola, std::size_t unit, ByteOrder order) {
    Bytes out = motorola;
    if (order == ByteOrder::Intel && unit > 1) {
        for (std::size_t i = 0; i + unit <= out.size(); i += unit)
            std::reverse(out.begin() + static_cast<std::ptrdiff_t>(i),
                         out.begin() + static_cast<std::ptrdiff_t>(i + unit));
    }
    return out;
}

TEST(ClsExif, DisplayTextsFollowTheFormatTable) {
    const Bytes r72 = {0, 0, 0, 72, 0, 0, 0, 1};
    const FormatCase cases[] = {
        {"ascii drops NUL", 271, exif::kAscii, 6, ToBytes(std::string("Canon") + '\0'), 1, "Canon"},
        {"short inline ascii", 272, exif::kAscii, 3, ToBytes(std::string("ab") + '\0'), 1, "ab"},
        {"byte", 700, exif::kByte, 1, {200}, 1, "200"},
        {"short first value", 274, exif::kShort, 2, {0, 6, 0, 9}, 2, "6"},
        {"long top bit", 700, exif::kLong, 1, {0x80, 0, 0, 1}, 4, "2147483649"},
        {"sbyte", 700, exif::kSByte, 1, {0xFF}, 1, "-1"},
        {"sshort", 700, exif::kSShort, 1, {0xFF, 0xFE}, 2, "-2"},
        {"slong", 700, exif::kSLong, 1, {0xFF, 0xFF, 0xFF, 0xFF}, 4, "-1"},
        {"float", 700, exif::kFloat, 1, {0x3F, 0xC0, 0, 0}, 4, "1.5"},
        {"double", 700, exif::kDouble, 1, {0x3F, 0xD0, 0, 0, 0, 0, 0, 0}, 8, "0.25"},
        {"maker note printable",
         37500,
         exif::kUndefined,
         6,
         {'A', 'b', 1, 'c', 0xFF, 127},
         1,
         "Abc\x7f"},
        {"exif version", 36864, exif::kUndefined, 4, ToBytes("0220"), 1, "2.20"},
        {"flashpix version", 40960, exif::kUndefined, 4, ToBytes("0100"), 1, "1.00"},
        {"components YCbCr", 37121, exif::kUndefined, 4, {1, 2, 3, 0}, 1, "YCbCr"},
        {"components RGB", 37121, exif::kUndefined, 4, {4, 5, 6, 0}, 1, "RGB"},
        {"file source", 41728, exif::kUndefined, 1, {3}, 1, "3"},
        {"scene type", 41729, exif::kUndefined, 1, {1}, 1, "1"},
        {"undefined text", 37510, exif::kUndefined, 8, ToBytes(std::string("AB\0\0\0\0hi", 8)), 1,
         "ABhi"},
        {"exposure time", 33434, exif::kRational, 1, {0, 0, 0, 1, 0, 0, 0, 200}, 4, "200"},
        {"exposure time zero", 33434, exif::kRational, 1, {0, 0, 0, 0, 0, 0, 0, 0}, 4, "0/0"},
        {"aperture", 37378, exif::kRational, 1, {0, 0, 0, 4, 0, 0, 0, 1}, 4, "4.0"},
        {"max aperture", 37381, exif::kRational, 1, {0, 0, 0, 3, 0, 0, 0, 1}, 4, "2.8"},
        {"x resolution", 282, exif::kRational, 1, r72, 4, "72.0"},
        {"f number", 33437, exif::kRational, 1, {0, 0, 0, 28, 0, 0, 0, 10}, 4, "2.8"},
        {"focal length", 37386, exif::kRational, 1, {0, 0, 0, 55, 0, 0, 0, 10}, 4, "5.5"},
        {"other rational", 37122, exif::kRational, 1, {0, 0, 0, 4, 0, 0, 0, 1}, 4, "4/1"},
        {"rational list",
         318,
         exif::kRational,
         2,
         {0, 0, 1, 0x39, 0, 0, 3, 0xE8, 0, 0, 1, 0x49, 0, 0, 3, 0xE8},
         4,
         "0.313/0.329"},
        {"shutter speed", 37377, exif::kSRational, 1, {0, 0, 0, 8, 0, 0, 0, 1}, 4, "256"},
        {"exposure bias",
         37380,
         exif::kSRational,
         1,
         {0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 0, 3},
         4,
         "-0.7"},
        {"other srational",
         37379,
         exif::kSRational,
         1,
         {0xFF, 0xFF, 0xFF, 0xFB, 0, 0, 0, 10},
         4,
         "-5/10"},
        {"srational list",
         700,
         exif::kSRational,
         2,
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 4},
         4,
         "-0.500/0.250"},
    };
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        for (const FormatCase& c : cases) {
            const Bytes value = InOrder(c.value, c.unit, order);
            const bool inEntry = value.size() <= 4;
            Reader r;
            const Bytes file = OneEntryBlock(
                order, {c.tag, c.type, c.count, inEntry ? TiffBuilder::FieldBytes(value) : Bytes{}},
                inEntry ? Bytes{} : value);
            ASSERT_EQ(r.exif.ReadEXIFBytes(file), 0) << c.name;
            ASSERT_EQ(r.exif.Records().size(), 1u) << c.name;
            const TagInfo& record = r.exif.Records()[0];
            EXPECT_EQ(record.StringData, c.shown)
                << c.name << (order == ByteOrder::Intel ? " II" : " MM");
            EXPECT_EQ(record.RawBytes.size(), c.count * exif::TypeSize(c.type)) << c.name;
        }
    }
}

TEST(ClsExif, ValueIsTheRawFieldOrTheRationalsQuotient) {
    for (ByteOrder order : {ByteOrder::Intel, ByteOrder::Motorola}) {
        Reader r;
        TiffBuilder t(order);
        const std::uint32_t ifd0 = t.Directory({
            {274, exif::kShort, 1, t.Field16(6)},
            {33437, exif::kRational, 1, {}},
            {40962, exif::kLong, 1, t.Field32(3000)},
        });
        t.Patch32(ifd0 + 2 + 12 + 8, t.Data32({28, 10}));
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
    const std::uint32_t ifd0 = t.Directory(
        {{271, exif::kShort, 1, t.Field16(1)}, {exif::kExifOffset, exif::kLong, 1, t.Field32(0)}});
    const std::uint32_t ifd1 = t.Directory({{259, exif::kShort, 1, t.Field16(6)}});
    const std::uint32_t exifDir =
        t.Directory({{36864, exif::kUndefined, 4, TiffBuilder::FieldBytes(ToBytes("0230"))},
                     {exif::kInteroperabilityOffset, exif::kLong, 1, t.Field32(ifd1)}});
    t.Link(ifd0, 2, ifd1);
    t.Patch32(ifd0 + 2 + 12 + 8, exifDir);
    Reader r;
    ASSERT_EQ(r.exif.ReadEXIFBytes(ExifJpeg(t)), 0);
    EXPECT_EQ(r.exif.ListInfo(), "Make: 1\r\nExifOffset: " + std::to_string(exifDir) +
                                     "\r\nExifVersion: 2.30\r\nExifInteroperabilityOffset: " +
                                     std::to_string(ifd1) + "\r\n");
}

TEST(ClsExif, StatusAndErrors) {
    Reader r;
    r.files.files["/empty.jpg"] = {};
    r.files.files["/plain.jpg"] = testing::Jpeg({});
    ExpectError([&] { r.exif.ImageFile("/empty.jpg"); }, 2, "ReadEXIF", "File not found.");
    ExpectError([&] { r.exif.ReadEXIF("/missing.jpg"); }, 2, "ReadEXIF", "File not found.");

    r.exif.ImageFile("/plain.jpg");
    EXPECT_EQ(r.exif.ImageFile(), "/plain.jpg");
    EXPECT_EQ(r.exif.Status(), clsEXIF::kStatusNotExif);
    EXPECT_EQ(r.exif.ListInfo(), "File is not in EXIF format.");
    std::string text;
    ExpectError([&] { r.exif.MetaInfo(271, text); }, 10, "MetaInfo", "File is not in EXIF format.");

    // "Exif\0" beyond the first 4096 bytes is not looked for.
    Bytes late(5000, 0);
    const Bytes block = ExifJpeg(TiffBuilder(ByteOrder::Intel));
    late.insert(late.end(), block.begin(), block.end());
    EXPECT_EQ(r.exif.ReadEXIFBytes(late), 1);
}

TEST(ClsExif, DamagedBlocksKeepTheRecordsReadBefore) {
    TiffBuilder t(ByteOrder::Motorola);
    t.Directory({{271, exif::kShort, 1, t.Field16(1)},
                 {272, exif::kAscii, 100, t.Field32(4000)}}); // value beyond 4096
    Reader r;
    ExpectError([&] { r.exif.ReadEXIFBytes(ExifJpeg(t)); }, 11, "ReadEXIF",
                "Error parsing the file.");
    EXPECT_EQ(r.exif.Status(), clsEXIF::kStatusParseFailed);
    ASSERT_EQ(r.exif.Records().size(), 1u);
    EXPECT_EQ(r.exif.Records()[0].Name, "Make");
    EXPECT_EQ(r.exif.ListInfo(), "Could not open the file.");
    std::string text;
    ExpectError([&] { r.exif.MetaInfo(271, text); }, 11, "MetaInfo", "Error parsing the file.");

    // A field type above 12 is damage too.
    TiffBuilder bad(ByteOrder::Intel);
    bad.Directory({{271, 13, 1, {}}});
    EXPECT_THROW(r.exif.ReadEXIFBytes(ExifJpeg(bad)), ExifError);
}

TEST(ClsExif, TagNames) {
    Reader r;
    EXPECT_EQ(r.exif.GetTagName(315), "Tag #315");
    EXPECT_EQ(r.exif.GetTagName(36867), "DateTimeOriginal2");
    EXPECT_EQ(r.exif.GetTagName(41730), "CFAPattern");
    EXPECT_EQ(r.exif.GetTagName(-5), "Tag #-5");
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
    const std::uint32_t ifd0 =
        t.Directory({{271, exif::kAscii, 6, {}},
                     {272, exif::kAscii, 4, TiffBuilder::FieldBytes(ToBytes("X1"))}});
    t.Patch32(ifd0 + 2 + 8, t.Data(ToBytes(std::string("Canon") + '\0')));
    ASSERT_EQ(exif.ReadEXIFBytes(ExifJpeg(t)), 0);
    std::string text;
    exif.MetaInfo(271, text);
    EXPECT_EQ(text, "<Canon Inc.|Canon Inc.>");
    exif.MetaInfo(272, text);
    EXPECT_EQ(text, "X1");
    EXPECT_EQ(exif.ReadIniValue(exif.IniPath(), "MAKE", "canon", "dflt"), "Canon Inc.");
    EXPECT_EQ(exif.ReadIniValue(exif.IniPath(), "Model", "Format", "dflt"), "dflt");
    EXPECT_EQ(exif.ReadIniValue(dir / "none.ini", "Make", "Canon", "dflt"), "dflt");
}

} // namespace
} // namespace zembra
