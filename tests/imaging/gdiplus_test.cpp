#include "imaging/gdiplus.h"

#include "imaging/codec.h"
#include "platform/form.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace zembra {
namespace {

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class GdiPlusTest : public ::testing::Test {
  protected:
    GdiPlusTest() {
        box.setAutoSize(true);
        box.setPicture(std::make_shared<Surface>(testing::PhotoLike(40, 30)));
    }
    std::vector<ImagingError> errors;
    cGdiPlus gdip{[this](const ImagingError& e) { errors.push_back(e); }};
    testing::TempDir dir;
    Form form{"Form1"};
    PictureBox box{form, "Picture2"};
};

TEST_F(GdiPlusTest, AMissingFileGivesNoPictureAndFileNotFound) {
    EXPECT_EQ(gdip.FilenameToIPicture(dir / "missing.jpg"), nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].lGdiError, 10);
    EXPECT_EQ(errors[0].sErrorDesc, "File Not Found");
}

TEST_F(GdiPlusTest, UnknownAndDamagedFilesAreReportedNotFatal) {
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Write("notes.jpg", "just text")), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Write("cut.png", "\x89PNG\r\n\x1a\n\0\0")), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Path()), nullptr); // a folder
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0].lGdiError, static_cast<int>(GpStatus::UnknownImageFormat));
    EXPECT_EQ(errors[1].lGdiError, static_cast<int>(GpStatus::GenericError));
    EXPECT_NE(errors[1].Text().find("PNG"), std::string::npos) << errors[1].Text();
    EXPECT_EQ(errors[2].lGdiError, static_cast<int>(GpStatus::Win32Error));
}

TEST_F(GdiPlusTest, TransparentPartsLoadBlack) {
    testing::PngLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.colorType = PNG_COLOR_TYPE_RGBA;
    WriteFile(dir / "logo.png", testing::WritePng(layout, {255, 255, 255, 0, 200, 100, 50, 255}));
    // Named .gif: the content decides the decoder, not the name.
    WriteFile(dir / "logo.gif", testing::WritePng(layout, {255, 255, 255, 0, 200, 100, 50, 255}));
    for (const char* name : {"logo.png", "logo.gif"}) {
        auto picture = gdip.FilenameToIPicture(dir / name);
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(ColorFromPixel(picture->At(0, 0)), RGB(0, 0, 0));
        EXPECT_EQ(ColorFromPixel(picture->At(1, 0)), RGB(200, 100, 50));
    }
}

struct SaveCase {
    const char* name;
    const char* format; // the codec that must have written it
    bool usesQuality;
};

class SaveByExtension : public GdiPlusTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveByExtension, PicksTheEncoderAndPassesQualityOnlyForJ) {
    const std::string low = dir / ("low" + std::string(GetParam().name));
    const std::string high = dir / ("high" + std::string(GetParam().name));
    ASSERT_EQ(gdip.PictureBoxToFile(box, low, 5), -1);
    ASSERT_EQ(gdip.PictureBoxToFile(box, high, 100), -1);
    const Bytes a = ReadFile(low), b = ReadFile(high);
    const Codec* codec = DecoderFor(a);
    ASSERT_NE(codec, nullptr);
    EXPECT_EQ(codec->formatName, GetParam().format);
    EXPECT_EQ(a != b, GetParam().usesQuality);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    GdiPlus, SaveByExtension,
    ::testing::Values(SaveCase{".jpg", "JPEG", true}, SaveCase{".JPEG", "JPEG", true},
                      SaveCase{".jfif", "JPEG", true}, SaveCase{".jpe", "JPEG", true},
                      SaveCase{".png", "PNG", false}, SaveCase{".gif", "GIF", false},
                      SaveCase{".bmp", "BMP", false}, SaveCase{".Dib", "BMP", false},
                      SaveCase{".tif", "TIFF", false}, SaveCase{".tiff", "TIFF", false}));

TEST_F(GdiPlusTest, NamesWithoutAKnownExtensionWriteNothingSilently) {
    for (const std::string& name :
         {dir / "noext", dir.Path() + "/folder.jpg/noext", dir / "a.webp"}) {
        EXPECT_EQ(gdip.PictureBoxToFile(box, name, 80), 0) << name;
        struct stat st {};
        EXPECT_NE(::stat(name.c_str(), &st), 0) << name;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(GdiPlusTest, SavedPictureLoadsBackAndKeepsItsProfile) {
    auto picture = std::make_shared<Surface>(testing::PhotoLike(12, 8));
    picture->SetProfile(
        std::make_shared<const std::vector<std::uint8_t>>(testing::FakeProfile("RGB ")));
    box.setPicture(picture);
    ASSERT_EQ(gdip.PictureBoxToFile(box, dir / "out.bmp"), -1);
    auto back = gdip.FilenameToIPicture(dir / "out.bmp");
    ASSERT_TRUE(back);
    EXPECT_TRUE(testing::SamePixels(*back, *picture));
    ASSERT_EQ(gdip.PictureBoxToFile(box, dir / "out.jpg", 90), -1);
    back = gdip.FilenameToIPicture(dir / "out.jpg");
    ASSERT_TRUE(back && back->Profile());
    EXPECT_EQ(*back->Profile(), *picture->Profile());
}

// A disk that refuses every write.
class FullDisk : public Files {
  public:
    bool WriteAll(const std::string&, const Bytes&) override {
        errno = ENOSPC;
        return false;
    }
};

TEST_F(GdiPlusTest, FailedWritesAndEmptyBoxesRaiseErrorAndReturnZero) {
    FullDisk disk;
    cGdiPlus onFullDisk([this](const ImagingError& e) { errors.push_back(e); }, disk);
    EXPECT_EQ(onFullDisk.PictureBoxToFile(box, dir / "out.png"), 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].lGdiError, static_cast<int>(GpStatus::Win32Error));
    EXPECT_NE(errors[0].detail.find("out.png"), std::string::npos);

    PictureBox empty(form, "Picture9");
    EXPECT_EQ(gdip.PictureBoxToFile(empty, dir / "empty.png"), 0);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].lGdiError, static_cast<int>(GpStatus::InvalidParameter));
}

TEST_F(GdiPlusTest, EachObjectHasItsOwnSession) {
    cGdiPlus other;
    EXPECT_NE(other.SessionToken(), gdip.SessionToken());
    EXPECT_EQ(other.GdiErrorString(3), "Out Of Memory");
}

} // namespace
} // namespace zembra
