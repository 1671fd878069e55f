#include "imaging/codec.h"
#include "imaging/preview_picture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

TEST(ShrinkByAveraging, EachPixelIsTheMeanOfWhatItCovers) {
    // 4x2 to 2x1: each output pixel averages a 2x2 block, rounded to nearest.
    Surface source = *Surface::Create(4, 2);
    const std::uint32_t reds[2][4] = {{10, 20, 100, 100}, {30, 41, 200, 201}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            source.Row(y)[static_cast<std::size_t>(x)] = 0xFF000000u | reds[y][x] << 16 | 7;
    }
    const Surface out = ShrinkByAveraging(source, 2, 1);
    EXPECT_EQ(out.At(0, 0), 0xFF000000u | 25u << 16 | 7);  // (10+20+30+41)/4 = 25.25
    EXPECT_EQ(out.At(1, 0), 0xFF000000u | 150u << 16 | 7); // 601/4 = 150.25
}

TEST(LoadPreviewPicture, DecodesALargePhotographNoLargerThanShown) {
    testing::TempDir dir;
    const auto photo = Surface::Create(1600, 1200, 0xFF3080C0u);
    const auto jpeg = EncodeJpeg(*photo, {.quality = 90});
    ASSERT_TRUE(jpeg);
    const std::string path = dir / "photo.jpg";
    ASSERT_TRUE(Files::Local().WriteAll(path, jpeg.value()));

    const PreviewPicture preview = LoadPreviewPicture(path, 306, 306);
    EXPECT_EQ(preview.width, 1600);
    EXPECT_EQ(preview.height, 1200);
    ASSERT_TRUE(preview.picture);
    EXPECT_EQ(preview.picture->Width(), 306);
    EXPECT_EQ(preview.picture->Height(), 230); // 1200 * 306 / 1600 = 229.5
    // A flat colour stays that colour, give or take the JPEG rounding.
    const std::uint32_t p = preview.picture->At(150, 100);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 0x30, 3);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 0xC0, 3);

    // Small pictures keep their size; missing ones give nothing.
    const PreviewPicture small = LoadPreviewPicture(ZEMBRA_SAMPLES_DIR "/sunset.png", 306, 306);
    ASSERT_TRUE(small.picture);
    EXPECT_EQ(small.picture->Width(), 200);
    EXPECT_FALSE(LoadPreviewPicture(dir / "none.jpg", 306, 306).picture);
}

} // namespace
} // namespace zembra
