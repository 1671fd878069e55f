// Every decoder on cut-short, bit-flipped and hostile files: each must fail or
// succeed cleanly (the sanitizer builds catch anything worse).

#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace zembra {
namespace {

// A picture from every encoder, and the variants only other writers make.
std::vector<std::pair<std::string, Bytes>> Samples() {
    const Surface picture = testing::PhotoLike(24, 16);
    std::vector<std::pair<std::string, Bytes>> out;
    for (const auto& codec : Codecs())
        if (auto encoded = codec.encode(picture, EncodeOptions{80}))
            out.emplace_back(codec.formatName, encoded.value());
    out.emplace_back("progressive JPEG",
                     testing::WriteJpeg({.progressive = true}, 24, 16,
                                        std::vector<std::uint8_t>(24 * 16 * 3, 90)));
    out.emplace_back("interlaced PNG",
                     testing::WritePng({.width = 24, .height = 16, .interlace = true},
                                       std::vector<unsigned>(24 * 16 * 3, 7)));
    return out;
}

const DecodeLimits kLimits{.maxPixels = 1 << 20};

TEST(DamagedFiles, EveryCutShortFileFailsAndFlippedBytesNeverCrash) {
    std::mt19937 random(1234);
    for (const auto& [format, bytes] : Samples()) {
        ASSERT_TRUE(DecodePicture(bytes, kLimits)) << format;
        // Keep the signature so the right decoder sees each cut. A few bytes of
        // trailer (PNG's IEND, GIF's ';') carry no pixels.
        for (std::size_t length = 8; length + 1 < bytes.size(); length += 3) {
            auto cut = DecodePicture(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(length)),
                                     kLimits);
            EXPECT_TRUE(!cut || length + 16 >= bytes.size())
                << format << " cut to " << length << " of " << bytes.size() << " bytes decoded";
        }
        for (int round = 0; round < 150; ++round) {
            Bytes damaged = bytes;
            for (int flips = 0; flips < 4; ++flips)
                damaged[8 + random() % (damaged.size() - 8)] ^=
                    static_cast<std::uint8_t>(1 + random() % 255);
            (void)DecodePicture(damaged, kLimits);
        }
    }
}

TEST(DamagedFiles, HostileFilesFailWithoutHugeAllocations) {
    // Sizes far beyond their data, directory loops and far jumps; inputs that a
    // fuzzer finds troublesome join them here.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(ZEMBRA_TEST_DATA_DIR) / "imaging" / "hostile")) {
        ++files;
        const Bytes bytes = testing::ReadFile(entry.path());
        auto decoded = DecodePicture(bytes, kLimits);
        if (entry.path().extension() == ".tif") {
            // A 1 x 1 page whose next directory is itself: one page, counted once.
            EXPECT_TRUE(decoded);
            EXPECT_EQ(TiffPageCount(bytes), 1);
        } else if (entry.path().extension() == ".bmp") {
            // Moves past the last row end the picture; the run after them draws nothing.
            ASSERT_TRUE(decoded);
            for (auto p : decoded.value().pixels.Pixels())
                EXPECT_EQ(p >> 24, 0u);
        } else {
            EXPECT_FALSE(decoded) << entry.path();
            for (const auto& codec : Codecs())
                if (codec.frameCount != nullptr)
                    (void)codec.frameCount(bytes);
        }
    }
    EXPECT_GE(files, 5);
}

} // namespace
} // namespace zembra
