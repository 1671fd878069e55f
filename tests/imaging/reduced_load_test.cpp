// The two loaders for small boxes, thumbnails and the preview pane: each decodes a
// picture no larger than its box, looking as if it had been decoded whole and shrunk.
#include "imaging/fit_load.h"
#include "imaging/picture_file.h"
#include "imaging/preview_picture.h"
#include "imaging/upright.h"
#include "platform/resample.h"
#include "support/heic_writer.h"
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

TEST(ReducedLoad, LargeJpegAndWebpLookLikeTheFullDecodeShrunk) {
    testing::TempDir dir;
    const Surface photo = testing::PhotoLike(1600, 1200);
    using Encode = Result<Bytes> (*)(const Surface&, const EncodeOptions&);
    const std::pair<const char*, Encode> formats[] = {{"p.jpg", EncodeJpeg},
                                                      {"p.webp", EncodeWebp}};
    for (const auto& [name, encode] : formats) {
        const std::string path = WriteTo(dir / name, encode(photo, {.quality = 90}));
        auto full = LoadPictureFile(path);
        ASSERT_TRUE(full);
        const Surface want = Resample(full.value().pixels, 178, 134);
        for (bool preview : {false, true}) {
            SCOPED_TRACE(std::string(name) + (preview ? " preview" : " thumbnail"));
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
}

// libwebp scales while it decodes, to the least size of the picture's shape that
// still covers what is asked; never up.
TEST(ReducedLoad, WebpDecodesAtTheLeastSizeCoveringTheBox) {
    const Bytes file = EncodeWebp(testing::PhotoLike(800, 600), {.quality = 80}).value();
    const struct {
        int minWidth, minHeight, width, height;
    } cases[] = {{356, 268, 358, 268}, {400, 10, 400, 300}, {1, 1, 2, 1}, {2000, 2000, 800, 600}};
    for (const auto& c : cases) {
        const auto decoded = DecodeWebpReduced(file, {}, c.minWidth, c.minHeight);
        ASSERT_TRUE(decoded) << c.minWidth;
        EXPECT_EQ(decoded.value().pixels.Width(), c.width) << c.minWidth;
        EXPECT_EQ(decoded.value().pixels.Height(), c.height) << c.minWidth;
    }
    EXPECT_FALSE(DecodeWebpReduced(Bytes(file.begin(), file.begin() + 40), {}, 10, 10));
}

// A HEIC's thumbnail stands in for the picture in boxes it covers; it is told
// apart here by having no blue. Either comes upright, as the file's boxes say.
TEST(ReducedLoad, HeifThumbnailServesTheBoxesItCovers) {
    testing::TempDir dir;
    const auto withoutBlue = [](Surface s) {
        for (auto& p : s.Pixels())
            p &= 0xFFFFFF00u;
        return s;
    };
    const Surface photo = testing::PhotoLike(320, 240);
    const Surface thumb = withoutBlue(testing::PhotoLike(320, 240));
    const Surface squareThumb = withoutBlue(testing::PhotoLike(320, 320));
    const struct {
        const char* name;
        const Surface* thumbnail; // stored 80 x 60, or 80 x 80 for the square one
        int orientation;
        std::vector<std::pair<int, bool>>
            boxes; // the square box, and whether it shows the thumbnail
    } files[] = {
        {"upright", &thumb, 1, {{50, true}, {80, true}, {150, false}}},
        {"square thumbnail", &squareThumb, 1, {{50, false}}},
        {"turned", &thumb, 6, {{50, true}, {150, false}}},
    };
    for (const auto& f : files) {
        const auto file = testing::WriteHeic(photo, {f.thumbnail, 80, {}, f.orientation});
        if (!file)
            GTEST_SKIP() << "libheif has no HEVC encoder here";
        const std::string path = WriteTo(dir / "p.heic", *file);
        const bool turned = f.orientation >= 5;
        for (const auto& [box, thumbnailShown] : f.boxes) {
            SCOPED_TRACE(std::string(f.name) + " in " + std::to_string(box));
            const Loaded loaded = Load(true, path, box, box);
            ASSERT_TRUE(loaded.picture);
            EXPECT_EQ(loaded.width, turned ? 240 : 320);
            EXPECT_EQ(loaded.height, turned ? 320 : 240);
            const Surface& source = thumbnailShown ? *f.thumbnail : photo;
            const Surface want = Resample(TurnedUpright(source, f.orientation),
                                          loaded.picture->Width(), loaded.picture->Height());
            EXPECT_EQ(loaded.picture->Width() < loaded.picture->Height(), turned);
            EXPECT_LT(testing::MeanError(*loaded.picture, want), 6.0);
        }
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
