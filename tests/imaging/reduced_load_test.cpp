// The two loaders for small boxes, thumbnails and the preview pane: each decodes a
// picture no larger than its box, looking as if it had been decoded whole and shrunk.
#include "imaging/fit_load.h"
#include "imaging/picture_file.h"
#include "imaging/preview_picture.h"
#include "platform/resample.h"
#include "support/temp_dir.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace zembra {
namespace {

struct Loaded {
    PictureRef picture;
    int width = 0, height = 0; // the file's own size
};

Loaded Load(bool preview, const std::string& path, int boxWidth, int boxHeight) {
    if (preview) {
        const PreviewPicture p = LoadPreviewPicture(path, boxWidth, boxHeight);
        return {p.picture, p.width, p.height};
    }
    const FittedPicture f = LoadPictureToFit(path, boxWidth, boxHeight);
    return {f.picture, f.naturalWidth, f.naturalHeight};
}

std::string WriteTo(const std::string& path, const Result<Bytes>& encoded) {
    EXPECT_TRUE(encoded && Files::Local().WriteAll(path, encoded.value())) << path;
    return path;
}

TEST(ReducedLoad, LargeJpegLooksLikeTheFullDecodeShrunk) {
    testing::TempDir dir;
    const std::string path =
        WriteTo(dir / "p.jpg", EncodeJpeg(testing::PhotoLike(1600, 1200), {.quality = 90}));
    auto full = LoadPictureFile(path);
    ASSERT_TRUE(full);
    const Surface want = Resample(full.value().pixels, 178, 134);
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "thumbnail");
        const Loaded loaded = Load(preview, path, 178, 178);
        ASSERT_TRUE(loaded.picture);
        EXPECT_EQ(loaded.width, 1600);
        EXPECT_EQ(loaded.height, 1200);
        ASSERT_EQ(loaded.picture->Width(), 178);
        ASSERT_EQ(loaded.picture->Height(), 134); // 133.5, rounded
        // Red and green are smooth ramps; blue carries a ripple that the decoder's
        // own block averaging treats differently, so it is left out.
        for (int shift : {8, 16})
            EXPECT_LT(testing::MeanError(*loaded.picture, want, {shift}), 2.0) << shift;
    }
}

TEST(ReducedLoad, OtherFormatsAreDecodedWholeThenFiltered) {
    testing::TempDir dir;
    // Columns alternate black and white: filtered to half the width they give grey,
    // where keeping every other column would give black or white.
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < 32 * 4; ++i)
        pixels.push_back(i % 2 ? 0xFFFFFFFFu : 0xFF000000u);
    const std::string png = WriteTo(dir / "p.png", EncodePng(testing::Pixels(32, 4, pixels), {}));
    const std::string bad = dir.Write("bad.jpg", "\xFF\xD8\xFFnot a jpeg");
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "thumbnail");
        const Loaded loaded = Load(preview, png, 16, 16);
        ASSERT_TRUE(loaded.picture);
        EXPECT_EQ(loaded.width, 32);
        ASSERT_EQ(loaded.picture->Width(), 16);
        ASSERT_EQ(loaded.picture->Height(), 2);
        // Away from the edges, where the filter's window is whole.
        for (int x = 4; x < 12; ++x) {
            const std::uint32_t p = loaded.picture->At(x, 0);
            EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF); // grey
            EXPECT_NEAR(static_cast<int>(p & 0xFF), 128, 3) << x;
        }
        // Pictures that fit keep their size; unreadable ones give nothing.
        const Loaded small = Load(preview, png, 40, 40);
        ASSERT_TRUE(small.picture);
        EXPECT_EQ(small.picture->Width(), 32);
        EXPECT_FALSE(Load(preview, dir / "missing.jpg", 10, 10).picture);
        EXPECT_FALSE(Load(preview, bad, 10, 10).picture);
    }
}

} // namespace
} // namespace zembra
