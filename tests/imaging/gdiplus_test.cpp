#include "imaging/gdiplus.h"

#include "imaging/codec.h"
#include "imaging/encoder_table.h"
#include "platform/form.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zembra {
namespace {

using testing::ReadFile;

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

TEST_F(GdiPlusTest, MissingUnknownAndDamagedFilesAreReportedNotFatal) {
    EXPECT_EQ(gdip.FilenameToIPicture(dir / "missing.jpg"), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Write("notes.jpg", "just text")), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Write("cut.png", "\x89PNG\r\n\x1a\n\0\0")), nullptr);
    EXPECT_EQ(gdip.FilenameToIPicture(dir.Path()), nullptr); // a folder
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].lGdiError, 10);
    EXPECT_EQ(errors[0].sErrorDesc, "File Not Found");
    EXPECT_EQ(errors[1].lGdiError, static_cast<int>(GpStatus::UnknownImageFormat));
    EXPECT_EQ(errors[2].lGdiError, static_cast<int>(GpStatus::GenericError));
    EXPECT_NE(errors[2].Text().find("PNG"), std::string::npos) << errors[2].Text();
    EXPECT_EQ(errors[3].lGdiError, static_cast<int>(GpStatus::Win32Error));
}

TEST_F(GdiPlusTest, TransparentPartsLoadBlack) {
    const Bytes png = testing::WritePng({.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA},
                                        {255, 255, 255, 0, 200, 100, 50, 255});
    // Also named .gif: the content decides the decoder, not the name.
    for (const char* name : {"logo.png", "logo.gif"}) {
        auto picture = gdip.FilenameToIPicture(dir.Write(name, testing::AsText(png)));
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(ColorFromPixel(picture->At(0, 0)), RGB(0, 0, 0));
        EXPECT_EQ(ColorFromPixel(picture->At(1, 0)), RGB(200, 100, 50));
    }
}

TEST(EncoderTable, FileExtensionIsTheTextAfterTheLastDotOfTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/pics/a.JPeg", "JPeg"}, {"/pics/a.tar.gz", "gz"}, {"/pic.s/noext", ""},
        {"/pics/a.", ""},         {".hidden", "hidden"},    {"", ""}};
    for (const auto& [name, extension] : cases)
        EXPECT_EQ(FileExtension(name), extension) << name;
}

TEST_F(GdiPlusTest, SavingPicksTheEncoderByExtensionAndPassesQualityOnlyForJpeg) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {".jpg", "JPEG", true},  {".JPEG", "JPEG", true}, {".jfif", "JPEG", true},
        {".jpe", "JPEG", true},  {".png", "PNG", false},  {".gif", "GIF", false},
        {".bmp", "BMP", false},  {".Dib", "BMP", false},  {".tif", "TIFF", false},
        {".tiff", "TIFF", false}};
    for (const auto& [extension, format, usesQuality] : cases) {
        const std::string low = dir / ("low" + std::string(extension)),
                          high = dir / ("high" + std::string(extension));
        ASSERT_EQ(gdip.PictureBoxToFile(box, low, 5), -1) << extension;
        ASSERT_EQ(gdip.PictureBoxToFile(box, high, 100), -1) << extension;
        const Codec* codec = DecoderFor(ReadFile(low));
        ASSERT_NE(codec, nullptr) << extension;
        EXPECT_EQ(codec->formatName, format);
        EXPECT_EQ(ReadFile(low) != ReadFile(high), usesQuality) << extension;
    }
    // Names without a known extension write nothing, silently.
    for (const std::string& name :
         {dir / "noext", dir.Path() + "/folder.jpg/noext", dir / "a.webp"}) {
        EXPECT_EQ(gdip.PictureBoxToFile(box, name, 80), 0) << name;
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
    }
    EXPECT_TRUE(errors.empty());
}

// Failed writes are checked end to end with the resize actions.
TEST_F(GdiPlusTest, EmptyBoxesRaiseErrorAndReturnZero) {
    PictureBox empty(form, "Picture9");
    EXPECT_EQ(gdip.PictureBoxToFile(empty, dir / "empty.png"), 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].lGdiError, static_cast<int>(GpStatus::InvalidParameter));
    EXPECT_EQ(dir.Listing(), "");
}

} // namespace
} // namespace zembra
