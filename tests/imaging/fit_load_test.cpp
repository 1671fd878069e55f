#include "imaging/fit_load.h"
#include "imaging/picture_file.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zembra {
namespace {

std::string WriteBytes(const testing::TempDir& dir, const std::string& name, const Bytes& bytes) {
    const std::string path = dir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(FitLoad, ReducedJpegLooksLikeTheFullDecodeShrunk) {
    testing::TempDir dir;
    const Surface photo = testing::PhotoLike(1600, 1200);
    auto jpeg = EncodeJpeg(photo, {.quality = 90});
    ASSERT_TRUE(jpeg);
    const std::string path = WriteBytes(dir, "p.jpg", jpeg.value());

    const FittedPicture fitted = LoadPictureToFit(path, 178, 178);
    ASSERT_TRUE(fitted.picture);
    EXPECT_EQ(fitted.naturalWidth, 1600);
    EXPECT_EQ(fitted.naturalHeight, 1200);
    EXPECT_EQ(fitted.picture->Width(), 178);
    EXPECT_EQ(fitted.picture->Height(), 134);

    auto full = LoadPictureFile(path);
    ASSERT_TRUE(full);
    const Surface want = ShrinkByAveraging(full.value().pixels, {178, 134});
    // Red and green are smooth ramps; blue carries a ripple finer than the blocks
    // that either path averages, so it is left out.
    for (int shift : {8, 16}) {
        double total = 0;
        for (std::size_t i = 0; i < want.Pixels().size(); ++i)
            total += std::abs(testing::Channel(fitted.picture->Pixels()[i], shift) -
                              testing::Channel(want.Pixels()[i], shift));
        EXPECT_LT(total / static_cast<double>(want.Pixels().size()), 2.0) << shift;
    }
}

TEST(FitLoad, OtherFormatsAreDecodedWholeThenAveraged) {
    testing::TempDir dir;
    // Columns alternate black and white: averaged pairs give mid grey.
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < 4 * 2; ++i)
        pixels.push_back(i % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    auto png = EncodePng(testing::Pixels(4, 2, pixels), {});
    ASSERT_TRUE(png);
    const FittedPicture fitted = LoadPictureToFit(WriteBytes(dir, "p.png", png.value()), 2, 2);
    ASSERT_TRUE(fitted.picture);
    EXPECT_EQ(fitted.naturalWidth, 4);
    ASSERT_EQ(fitted.picture->Width(), 2);
    ASSERT_EQ(fitted.picture->Height(), 1);
    EXPECT_EQ(fitted.picture->At(1, 0), 0xFF808080u); // (0 + 0 + 255 + 255) / 4, rounded

    EXPECT_FALSE(LoadPictureToFit(dir / "missing.jpg", 10, 10).picture);
    EXPECT_FALSE(LoadPictureToFit(dir.Write("bad.jpg", "\xFF\xD8\xFFnot a jpeg"), 10, 10).picture);
}

} // namespace
} // namespace zembra
