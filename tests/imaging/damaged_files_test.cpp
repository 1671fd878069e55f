// Every decoder on cut-short, bit-flipped and hostile files: each must fail or
// succeed cleanly (the sanitizer builds catch anything worse).

#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace zembra {
namespace {

struct Sample {
    const char* format;
    Bytes bytes;
};

std::vector<Sample> Samples() {
    const Surface picture = testing::PhotoLike(24, 16);
    std::vector<Sample> out;
    for (const auto& codec : Codecs()) {
        auto encoded = codec.encode(picture, EncodeOptions{80});
        if (encoded)
            out.push_back({codec.formatName.data(), encoded.value()});
    }
    testing::JpegLayout progressive;
    progressive.progressive = true;
    std::vector<std::uint8_t> rgb(24 * 16 * 3, 90);
    out.push_back({"progressive JPEG", testing::WriteJpeg(progressive, 24, 16, rgb)});
    testing::PngLayout interlaced;
    interlaced.interlace = true;
    interlaced.width = 24;
    interlaced.height = 16;
    out.push_back(
        {"interlaced PNG", testing::WritePng(interlaced, std::vector<unsigned>(24 * 16 * 3, 7))});
    return out;
}

DecodeLimits SmallLimits() {
    DecodeLimits limits;
    limits.maxPixels = 1 << 20;
    return limits;
}

TEST(DamagedFiles, EveryCutShortFileFails) {
    for (const auto& sample : Samples()) {
        ASSERT_TRUE(DecodePicture(sample.bytes, SmallLimits())) << sample.format;
        // Keep the signature so the right decoder sees each cut.
        for (std::size_t length = 8; length + 1 < sample.bytes.size(); length += 3) {
            const Bytes cut(sample.bytes.begin(),
                            sample.bytes.begin() + static_cast<std::ptrdiff_t>(length));
            auto decoded = DecodePicture(cut, SmallLimits());
            // A few bytes of trailer (PNG's IEND, GIF's ';') carry no pixels.
            if (decoded && length + 16 < sample.bytes.size())
                ADD_FAILURE() << sample.format << " cut to " << length << " of "
                              << sample.bytes.size() << " bytes decoded";
        }
    }
}

TEST(DamagedFiles, FlippedBytesNeverCrash) {
    std::mt19937 random(1234);
    for (const auto& sample : Samples()) {
        for (int round = 0; round < 150; ++round) {
            Bytes damaged = sample.bytes;
            for (int flips = 0; flips < 4; ++flips)
                damaged[8 + random() % (damaged.size() - 8)] ^=
                    static_cast<std::uint8_t>(1 + random() % 255);
            (void)DecodePicture(damaged, SmallLimits());
        }
    }
}

TEST(DamagedFiles, HostileFilesFailWithoutHugeAllocations) {
    // Sizes far beyond their data, directory loops and far jumps; inputs that a
    // fuzzer finds troublesome join them here.
    const std::filesystem::path folder =
        std::filesystem::path(ZEMBRA_TEST_DATA_DIR) / "imaging" / "hostile";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (entry.path().extension() == ".tif") {
            // A 1 x 1 page whose next directory is itself: one page, counted once.
            EXPECT_TRUE(DecodePicture(bytes, SmallLimits()));
            EXPECT_EQ(TiffPageCount(bytes), 1);
            continue;
        }
        if (entry.path().extension() == ".bmp") {
            // Moves past the last row end the picture; the run after them draws nothing.
            auto decoded = DecodePicture(bytes, SmallLimits());
            ASSERT_TRUE(decoded);
            for (auto p : decoded.value().pixels.Pixels())
                EXPECT_EQ(p >> 24, 0u);
            continue;
        }
        EXPECT_FALSE(DecodePicture(bytes, SmallLimits())) << entry.path();
        for (const auto& codec : Codecs())
            if (codec.frameCount != nullptr)
                (void)codec.frameCount(bytes);
    }
    EXPECT_GE(files, 5);
}

} // namespace
} // namespace zembra
