// Every decoder on cut-short and hostile files: each must fail or succeed cleanly
// (the sanitizer builds catch anything worse).

#include "imaging/codec.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <zlib.h>

namespace zembra {
namespace {

// A picture from every encoder, and the variants only other writers make.
std::vector<std::pair<std::string, Bytes>> Samples() {
    const Surface picture = testing::PhotoLike(24, 16);
    std::vector<std::pair<std::string, Bytes>> out;
    for (const auto& codec : Codecs())
        if (codec.encode == nullptr)
            continue; // HEIF is only read; AVIF files go through the same decoder
        else if (auto encoded = codec.encode(picture, EncodeOptions{80}))
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

// Bytes flipped at random are the fuzz targets' work, whose corpora the build replays.
TEST(DamagedFiles, EveryCutShortFileFails) {
    for (const auto& [format, bytes] : Samples()) {
        ASSERT_TRUE(DecodePicture(bytes, kLimits)) << format;
        // From the empty file up; a few bytes of trailer (PNG's IEND, GIF's ';')
        // carry no pixels.
        for (std::size_t length = 0; length + 1 < bytes.size(); length += 3) {
            auto cut = DecodePicture(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(length)),
                                     kLimits);
            EXPECT_TRUE(!cut || length + 16 >= bytes.size())
                << format << " cut to " << length << " of " << bytes.size() << " bytes decoded";
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

// [SECTION] Decompression bombs: a small file whose header claims a huge picture.

// The n low bytes of v at `at`, the most significant first when `big`.
void Put(Bytes& b, std::size_t at, std::uint32_t v, int n, bool big) {
    for (int i = 0; i < n; ++i)
        b.at(at + std::size_t(i)) = static_cast<std::uint8_t>(v >> (8 * (big ? n - 1 - i : i)));
}

// Rewrites the size in the header each encoder wrote for a 24 x 16 picture.
void ClaimSize(const std::string& format, Bytes& b, std::uint32_t w, std::uint32_t h) {
    if (format == "BMP") {
        Put(b, 18, w, 4, false);
        Put(b, 22, h, 4, false);
    } else if (format == "GIF") {
        Put(b, 6, w, 2, false);
        Put(b, 8, h, 2, false);
    } else if (format == "PNG") {
        Put(b, 16, w, 4, true);
        Put(b, 20, h, 4, true);
        // The checksum covers "IHDR" and its 13 bytes.
        Put(b, 29, static_cast<std::uint32_t>(crc32(0, b.data() + 12, 17)), 4, true);
    } else if (format == "JPEG") {
        std::size_t at = 2;
        while (b.at(at + 1) != 0xC0) // segments up to the frame header
            at += 2 + (std::size_t(b.at(at + 2)) << 8 | b.at(at + 3));
        Put(b, at + 5, h, 2, true);
        Put(b, at + 7, w, 2, true);
    } else if (format == "WEBP") { // a lossy VP8 frame: 14-bit sides after its start code
        Put(b, 26, w, 2, false);
        Put(b, 28, h, 2, false);
    } else if (format == "AVIF") { // the ispe box's sides, after its version and flags
        const std::string ispe = "ispe";
        const auto at = std::search(b.begin(), b.end(), ispe.begin(), ispe.end()) - b.begin();
        Put(b, std::size_t(at) + 8, w, 4, true);
        Put(b, std::size_t(at) + 12, h, 4, true);
    } else if (format == "TIFF") { // "II", first directory's width and length tags
        std::size_t ifd = b.at(4) | std::size_t(b.at(5)) << 8;
        const std::size_t count = b.at(ifd) | std::size_t(b.at(ifd + 1)) << 8;
        for (std::size_t e = ifd + 2; e < ifd + 2 + 12 * count; e += 12) {
            const int tag = b.at(e) | b.at(e + 1) << 8;
            if (tag == 256 || tag == 257)
                Put(b, e + 8, tag == 256 ? w : h, b.at(e + 2) == 3 ? 2 : 4, false);
        }
    }
}

TEST(DamagedFiles, HugeClaimedSizesAreRefusedBeforeDecoding) {
    // With the default limit, as the batch run decodes. libjpeg stops at 65500
    // itself; every other claim reaches our check before any pixel is allocated.
    const Surface picture = testing::PhotoLike(24, 16);
    int refused = 0;
    for (const auto& codec : Codecs()) {
        if (codec.encode == nullptr)
            continue;
        // WebP sides stop at 16383, just within the default limit: a lower one
        // stands in for it. libheif refuses sides past 32768 on its own.
        const std::string format(codec.formatName);
        const std::uint32_t side = format == "JPEG"   ? 65500
                                   : format == "WEBP" ? 16383
                                   : format == "AVIF" ? 20000
                                                      : 65535;
        Bytes bytes = codec.encode(picture, EncodeOptions{80}).value();
        ClaimSize(format, bytes, side, side);
        const auto decoded = DecodePicture(bytes, format == "WEBP" ? kLimits : DecodeLimits{});
        ASSERT_FALSE(decoded) << codec.formatName;
        EXPECT_EQ(decoded.failure().status, GpStatus::OutOfMemory) << codec.formatName;
        EXPECT_NE(decoded.failure().detail.find("too large"), std::string::npos)
            << codec.formatName << ": " << decoded.failure().detail;
        ++refused;
    }
    EXPECT_EQ(refused, 7);
    // A real photograph's size is well within the limit.
    EXPECT_GT(DecodeLimits{}.maxPixels, std::int64_t{15000} * 10000);
}

} // namespace
} // namespace zembra
