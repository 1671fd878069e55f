#include <gtest/gtest.h>

#include "exif/cls_exif.h"
#include "exif/segment_walk.h"
#include "exif_test_support.h"

namespace zembra {
namespace {

using namespace testing;

const Bytes kSoi = {0xFF, 0xD8};
const Bytes kApp0 = Segment(0xE0, ToBytes(std::string("JFIF\0\1\1", 7)));
const Bytes kExifApp1 = Segment(0xE1, ToBytes(std::string("Exif\0\0MM\0*\0\0\0\x08\0\0", 16)));
const Bytes kXmpApp1 = Segment(0xE1, ToBytes("http://ns.adobe.com/xap/1.0/\0<x/>"));
const Bytes kDqt = Segment(0xDB, Bytes(67, 1));
// An APP1 whose length runs past the end of the file.
const Bytes kCut = Concat({{0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00}, Bytes(10, 7)});

// Removing the first APP1 from a copy and copying it back from the original moves
// exactly that segment, whatever its kind, and puts it right after SOI.
TEST(ExifHeader, RemoveThenCopyMovesExactlyTheFirstApp1) {
    Bytes payload(65533, 0x5A); // the longest segment: length field FF FF
    std::copy_n("Exif\0\0", 6, payload.begin());
    const Bytes tail = Concat({kDqt, {0xFF, 0xD9}});
    const struct {
        const char* name;
        Bytes before, app1, after;
    } cases[] = {
        {"after APP0", Concat({kSoi, kApp0}), kExifApp1, Concat({kXmpApp1, tail})},
        {"fill bytes", Concat({kSoi, kApp0, {0xFF, 0xFF}}), kExifApp1, tail},
        {"longest segment", kSoi, Segment(0xE1, payload), tail},
        // Large files: the segment beyond the start read first, or across its end.
        {"after 300 KiB",
         Concat({kSoi, Comment(60000), Comment(60000), Comment(60000), Comment(60000),
                 Comment(60000)}),
         kExifApp1, tail},
        {"across the start",
         Concat({kSoi, Comment(65533), Comment(65533), Comment(65533), Comment(65400)}),
         Segment(0xE1, payload), tail},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryExif f;
        f.files.files["/src.jpg"] = f.files.files["/out.jpg"] = Concat({c.before, c.app1, c.after});
        f.exif.RemoveEXIFHeader("/out.jpg");
        const Bytes stripped = Concat({c.before, c.after});
        EXPECT_EQ(f.files.files["/out.jpg"], stripped);
        f.exif.CopyEXIFHeader("/src.jpg", "/out.jpg");
        EXPECT_EQ(f.files.files["/out.jpg"],
                  Concat({kSoi, c.app1, Bytes(stripped.begin() + 2, stripped.end())}));
    }
}

// An XMP APP1 before the EXIF one stays behind: the copy carries the EXIF block,
// also past more XMP than the first read of the file's start holds.
TEST(ExifHeader, CopyCarriesTheExifApp1WhenXmpComesFirst) {
    const Bytes tail = Concat({kDqt, {0xFF, 0xD9}});
    const Bytes bigXmp =
        Segment(0xE1, Concat({ToBytes("http://ns.adobe.com/xap/1.0/"), Bytes(65000, ' ')}));
    for (const Bytes& xmp : {kXmpApp1, Concat({bigXmp, bigXmp, bigXmp, bigXmp, bigXmp})}) {
        MemoryExif f;
        f.files.files["/src.jpg"] = Concat({kSoi, xmp, kExifApp1, tail});
        f.files.files["/out.jpg"] = Concat({kSoi, tail});
        f.exif.CopyEXIFHeader("/src.jpg", "/out.jpg");
        EXPECT_EQ(f.files.files["/out.jpg"], Concat({kSoi, kExifApp1, tail})) << xmp.size();
    }
}

// How much of a file's start the walk to the EXIF APP1 needs: 0 once it is
// enough, else the bytes up to where the walk must look next.
TEST(ExifHeader, ReachOfTheWalkToTheExifApp1) {
    const Bytes sos = Segment(0xDA, {1, 1, 0, 0, 0x3F, 0});
    const Bytes xmpThenExif = Concat({kSoi, kXmpApp1, kExifApp1});
    const std::size_t exifAt = kSoi.size() + kXmpApp1.size();
    const struct {
        const char* name;
        Bytes start;
        std::size_t reach;
    } cases[] = {
        {"no JPEG", ToBytes("GIF89a"), 0},
        {"too short to tell", {0xFF}, 2},
        {"EXIF APP1 whole", xmpThenExif, 0},
        {"EXIF APP1 cut", Bytes(xmpThenExif.begin(), xmpThenExif.end() - 1), xmpThenExif.size()},
        {"EXIF mark cut", Bytes(xmpThenExif.begin(), xmpThenExif.begin() + exifAt + 7),
         exifAt + 10},
        {"marker cut", Bytes(xmpThenExif.begin(), xmpThenExif.begin() + exifAt + 3), exifAt + 4},
        {"segments go on", Concat({kSoi, kXmpApp1}), exifAt + 4},
        {"fill bytes", Concat({kSoi, {0xFF, 0xFF, 0xFF}}), 6},
        {"picture data first", Concat({kSoi, kDqt, sos, kExifApp1}), 0},
        {"no marker", Concat({kSoi, kApp0, {0x00, 0xE1, 0, 0}}), 0},
        {"longest segment cut", Concat({kSoi, {0xFF, 0xFE, 0xFF, 0xFF}}), 2 + 2 + 0xFFFF + 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exif::ExifApp1Reach(c.start), c.reach) << c.name;
}

// Failures keep every file as it was. Removal raises; copying raises only for a
// source it cannot read and otherwise leaves the destination alone.
TEST(ExifHeader, FailuresKeepTheFiles) {
    MemoryExif f;
    const Bytes output = Jpeg({kApp0});
    const Bytes whole = Jpeg({kExifApp1});
    f.files.files["/empty.jpg"] = {};
    f.files.files["/cut.jpg"] = kCut;
    f.files.files["/one.jpg"] = {0xFF};
    f.files.files["/out.jpg"] = output;
    f.files.files["/src.jpg"] = whole;
    for (const char* path : {"/missing.jpg", "/empty.jpg"})
        ExpectExifError([&] { f.exif.RemoveEXIFHeader(path); }, 2);
    ExpectExifError([&] { f.exif.RemoveEXIFHeader("/cut.jpg"); }, 11, "RemoveEXIFHeader");
    EXPECT_EQ(f.files.files["/cut.jpg"], kCut);
    // No APP1 before the walk ends (scan data, a length past the end, fill bytes to
    // the end, a marker without a length), a cut APP1, or a destination that cannot
    // be read: nothing is written.
    for (const Bytes& plain :
         {Jpeg({kApp0, kDqt}), Concat({{0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xF0}, Bytes(20, 0)}),
          Concat({kSoi, Bytes(30, 0xFF)}), Bytes{0xFF, 0xD8, 0xFF, 0xE1}}) {
        f.files.files["/plain.jpg"] = plain;
        f.exif.RemoveEXIFHeader("/plain.jpg");
        f.exif.CopyEXIFHeader("/plain.jpg", "/out.jpg");
    }
    f.exif.CopyEXIFHeader("/cut.jpg", "/out.jpg");
    f.exif.CopyEXIFHeader("/src.jpg", "/missing.jpg");
    f.exif.CopyEXIFHeader("/src.jpg", "/one.jpg");
    EXPECT_EQ(f.files.writes, 0);
    EXPECT_EQ(f.files.files.count("/missing.jpg"), 0u);

    // A disk that refuses the write: the pictures stay as they were.
    f.files.failWrites = true;
    ExpectExifError([&] { f.exif.RemoveEXIFHeader("/src.jpg"); }, 75);
    EXPECT_EQ(f.files.files["/src.jpg"], whole);
    EXPECT_NO_THROW(f.exif.CopyEXIFHeader("/src.jpg", "/out.jpg"));
    EXPECT_EQ(f.files.files["/out.jpg"], output);
    ExpectExifError([&] { f.exif.CopyEXIFHeader("/none.jpg", "/out.jpg"); }, 2, "CopyEXIFHeader",
                    "File not found.");
}

} // namespace
} // namespace zembra
