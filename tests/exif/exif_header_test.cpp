#include <gtest/gtest.h>

#include <algorithm>

#include "exif/cls_exif.h"
#include "exif/segment_walk.h"
#include "exif_test_support.h"
#include "support/temp_dir.h"

namespace zembra {
namespace {

using testing::Jpeg;
using testing::MemoryFiles;
using testing::Segment;
using testing::ToBytes;

const Bytes kApp0 = Segment(0xE0, ToBytes(std::string("JFIF\0\1\1", 7)));
const Bytes kExifApp1 = Segment(0xE1, ToBytes(std::string("Exif\0\0MM\0*\0\0\0\x08\0\0", 16)));
const Bytes kXmpApp1 = Segment(0xE1, ToBytes("http://ns.adobe.com/xap/1.0/\0<x/>"));
const Bytes kDqt = Segment(0xDB, Bytes(67, 1));

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The segment walk on its own: where it finds the first APP1.
TEST(SegmentWalk, FindsTheFirstApp1) {
    struct Case {
        const char* name;
        Bytes file;
        std::optional<std::size_t> pos;
    };
    const Bytes plain = Jpeg({kApp0, kDqt});
    const Case cases[] = {
        {"after APP0", Jpeg({kApp0, kExifApp1}), 2 + kApp0.size()},
        {"XMP before EXIF", Jpeg({kXmpApp1, kExifApp1}), 2},
        {"fill bytes", Concat({{0xFF, 0xD8}, kApp0, {0xFF, 0xFF}, kExifApp1, {0xFF, 0xD9}}),
         2 + kApp0.size() + 2},
        {"none before scan data", plain, std::nullopt},
        {"length jumps past the end", Concat({{0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xF0}, Bytes(20, 0)}),
         std::nullopt},
        {"fill bytes to the end", Concat({{0xFF, 0xD8}, Bytes(30, 0xFF)}), std::nullopt},
        {"tiny", {0xFF, 0xD8, 0xFF, 0xE1}, std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto found = exif::FindFirstApp1(c.file);
        EXPECT_EQ(found ? std::optional<std::size_t>(found->pos) : std::nullopt, c.pos) << c.name;
    }
}

struct Fixture {
    MemoryFiles files;
    clsEXIF exif{files, "/opt/zembra"};
};

TEST(RemoveExifHeader, CutsExactlyTheFirstApp1) {
    Fixture f;
    const Bytes before = Concat({{0xFF, 0xD8}, kApp0});
    const Bytes after = Concat({kXmpApp1, kDqt, {0xFF, 0xD9}});
    f.files.files["/out.jpg"] = Concat({before, kExifApp1, after});
    f.exif.RemoveEXIFHeader("/out.jpg");
    EXPECT_EQ(f.files.files["/out.jpg"], Concat({before, after}));

    // The XMP segment is now the first APP1, and goes next.
    f.exif.RemoveEXIFHeader("/out.jpg");
    EXPECT_EQ(f.files.files["/out.jpg"], Concat({before, kDqt, {0xFF, 0xD9}}));
}

TEST(RemoveExifHeader, StepsOverFillBytes) {
    Fixture f;
    f.files.files["/out.jpg"] = Concat({{0xFF, 0xD8, 0xFF, 0xFF}, kExifApp1, kDqt});
    f.exif.RemoveEXIFHeader("/out.jpg");
    EXPECT_EQ(f.files.files["/out.jpg"], Concat({{0xFF, 0xD8, 0xFF, 0xFF}, kDqt}));
}

TEST(RemoveExifHeader, LeavesFilesWithoutApp1Alone) {
    Fixture f;
    f.files.files["/out.jpg"] = Jpeg({kApp0});
    f.exif.RemoveEXIFHeader("/out.jpg");
    EXPECT_EQ(f.files.writes, 0);
}

TEST(RemoveExifHeader, FailuresRaiseAndKeepTheFile) {
    Fixture f;
    EXPECT_THROW(f.exif.RemoveEXIFHeader("/missing.jpg"), ExifError);
    f.files.files["/empty.jpg"] = {};
    EXPECT_THROW(f.exif.RemoveEXIFHeader("/empty.jpg"), ExifError);

    // An APP1 whose length runs past the end of the file.
    const Bytes cut = Concat({{0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00}, Bytes(10, 7)});
    f.files.files["/cut.jpg"] = cut;
    try {
        f.exif.RemoveEXIFHeader("/cut.jpg");
        FAIL() << "no error";
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), 11);
        EXPECT_EQ(e.Source(), "RemoveEXIFHeader");
    }
    EXPECT_EQ(f.files.files["/cut.jpg"], cut);

    // A disk that refuses the write: the picture stays as it was.
    const Bytes whole = Jpeg({kExifApp1});
    f.files.files["/out.jpg"] = whole;
    f.files.failWrites = true;
    try {
        f.exif.RemoveEXIFHeader("/out.jpg");
        FAIL() << "no error";
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), 75);
    }
    EXPECT_EQ(f.files.files["/out.jpg"], whole);
}

TEST(CopyExifHeader, InsertsTheSourceApp1AfterSoi) {
    Fixture f;
    const Bytes output = Jpeg({kApp0, kExifApp1, kDqt});
    f.files.files["/src.jpg"] = Jpeg({kApp0, kXmpApp1, kExifApp1});
    f.files.files["/out.jpg"] = output;
    f.exif.RemoveEXIFHeader("/out.jpg");
    const std::size_t stripped = f.files.files["/out.jpg"].size();
    f.exif.CopyEXIFHeader("/src.jpg", "/out.jpg");
    const Bytes& result = f.files.files["/out.jpg"];
    // The first APP1 of the source (the XMP one) is the one carried.
    const Bytes strippedOutput = Jpeg({kApp0, kDqt});
    EXPECT_EQ(
        result,
        Concat({{0xFF, 0xD8}, kXmpApp1, Bytes(strippedOutput.begin() + 2, strippedOutput.end())}));
    EXPECT_EQ(result.size(), stripped + kXmpApp1.size());
}

TEST(CopyExifHeader, CopiesTheLongestSegmentWhole) {
    Fixture f;
    Bytes payload(65533, 0x5A);
    std::copy_n("Exif\0\0", 6, payload.begin());
    const Bytes big = Segment(0xE1, payload);
    ASSERT_EQ(big[2], 0xFF);
    ASSERT_EQ(big[3], 0xFF);
    f.files.files["/src.jpg"] = Jpeg({big});
    f.files.files["/out.jpg"] = Jpeg({});
    f.exif.CopyEXIFHeader("/src.jpg", "/out.jpg");
    const Bytes& result = f.files.files["/out.jpg"];
    ASSERT_EQ(result.size(), Jpeg({}).size() + big.size());
    EXPECT_TRUE(std::equal(big.begin(), big.end(), result.begin() + 2));
}

TEST(CopyExifHeader, LeavesTheDestinationAloneWhenThereIsNothingToCopy) {
    Fixture f;
    const Bytes output = Jpeg({kApp0});
    f.files.files["/out.jpg"] = output;
    f.files.files["/plain.jpg"] = Jpeg({kApp0, kDqt});
    f.files.files["/cut.jpg"] = Concat({{0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00}, Bytes(10, 7)});
    f.files.files["/src.jpg"] = Jpeg({kExifApp1});
    f.files.files["/one.jpg"] = {0xFF};

    f.exif.CopyEXIFHeader("/plain.jpg", "/out.jpg");
    f.exif.CopyEXIFHeader("/cut.jpg", "/out.jpg");
    EXPECT_EQ(f.files.writes, 0);
    // Destination failures end quietly.
    f.exif.CopyEXIFHeader("/src.jpg", "/missing.jpg");
    f.exif.CopyEXIFHeader("/src.jpg", "/one.jpg");
    EXPECT_FALSE(f.files.Exists("/missing.jpg"));
    f.files.failWrites = true;
    EXPECT_NO_THROW(f.exif.CopyEXIFHeader("/src.jpg", "/out.jpg"));
    EXPECT_EQ(f.files.files["/out.jpg"], output);
    // Only a source that cannot be read raises.
    try {
        f.exif.CopyEXIFHeader("/none.jpg", "/out.jpg");
        FAIL() << "no error";
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), 2);
        EXPECT_EQ(e.Source(), "CopyEXIFHeader");
        EXPECT_EQ(e.Description(), "File not found.");
    }
}

TEST(CopyExifHeader, WorksOnRealFilesInPlace) {
    testing::TempDir dir;
    const std::string src = dir / "img.jpgexif.jpg";
    const std::string out = dir / "img.jpg";
    Files::Local().WriteAll(src, Jpeg({kExifApp1}));
    Files::Local().WriteAll(out, Jpeg({kApp0, kXmpApp1}));
    clsEXIF exif;
    exif.RemoveEXIFHeader(out);
    exif.CopyEXIFHeader(src, out);
    const Bytes stripped = Jpeg({kApp0});
    EXPECT_EQ(*Files::Local().ReadAll(out),
              Concat({{0xFF, 0xD8}, kExifApp1, Bytes(stripped.begin() + 2, stripped.end())}));
    // No temporary file is left beside the picture.
    EXPECT_EQ(dir.Listing(), "img.jpg img.jpgexif.jpg");
}

} // namespace
} // namespace zembra
